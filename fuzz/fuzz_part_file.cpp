// libFuzzer target: any bytes given to the part file reader must fill the table or fail
// cleanly, never write past a field. What it accepts must also be written and read back: after
// one pass through six decimals, writing and reading again changes no byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/part_file.h"
#include "framework/debug_log.h"

namespace {

// Part tables are large and hold mesh objects: made once, reused by every input.
model::PartTable& Table(int which) {
    static auto* tables = new model::PartTable[3];
    return tables[which];
}

std::string FormatOrTrap(const model::PartTable& table) {
    auto text = files::FormatPartFile(table);
    if (!text.ok()) __builtin_trap();
    return std::move(*text);
}

void ParseOrTrap(std::string_view text, model::PartTable& table) {
    if (!files::ParsePartFile(text, table).ok()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    framework::ProcessLog().Discard();  // a reason per failed input is noise here

    model::PartTable& read = Table(0);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!files::ParsePartFile(bytes, read).ok()) return 0;

    auto first = files::FormatPartFile(read);
    if (!first.ok()) {
        // The one table read but not written: a positive scale that six decimals show as zero.
        if (!(read.scale > 0 && read.scale < 0.000001f)) __builtin_trap();
        return 0;
    }
    ParseOrTrap(*first, Table(1));
    const std::string second = FormatOrTrap(Table(1));
    ParseOrTrap(second, Table(2));
    if (FormatOrTrap(Table(2)) != second) __builtin_trap();
    return 0;
}
