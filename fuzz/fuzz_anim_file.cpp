// libFuzzer target: any bytes given to the animation file reader, for any part count (the
// first byte modulo 101), must fill the set or fail cleanly, never write past a key or part.
// What it accepts must also be written and read back: after one pass through six decimals,
// writing and reading again changes no byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/animation_file.h"
#include "framework/debug_log.h"

namespace {

model::PartTable& Parts(int count) {
    static model::PartTable* parts = [] {
        auto* table = new model::PartTable;
        for (int j = 0; j < model::kMaxParts; ++j) {
            model::PartTable::SetField(table->name[j], "part" + std::to_string(j) + ".x");
        }
        return table;
    }();
    parts->count = static_cast<std::int16_t>(count);
    return *parts;
}

model::AnimationSet& Set(int which) {
    static auto* sets = new model::AnimationSet[3];
    return sets[which];
}

std::string FormatOrTrap(const model::AnimationSet& animation, const model::PartTable& parts) {
    auto text = files::FormatAnimationFile(animation, parts);
    if (!text.ok() || text->empty()) __builtin_trap();
    return std::move(*text);
}

void ParseOrTrap(std::string_view text, int partCount, model::AnimationSet& animation) {
    if (!files::ParseAnimationFile(text, partCount, animation).ok()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    framework::ProcessLog().Discard();  // a reason per failed input is noise here
    if (size == 0) return 0;

    const int partCount = data[0] % 101;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    model::AnimationSet& read = Set(0);
    if (!files::ParseAnimationFile(bytes, partCount, read).ok()) return 0;
    if (read.KeysInUse() == 0) return 0;  // read, but empty: nothing is written

    const model::PartTable& parts = Parts(partCount);
    ParseOrTrap(FormatOrTrap(read, parts), partCount, Set(1));
    const std::string second = FormatOrTrap(Set(1), parts);
    ParseOrTrap(second, partCount, Set(2));
    if (FormatOrTrap(Set(2), parts) != second) __builtin_trap();
    return 0;
}
