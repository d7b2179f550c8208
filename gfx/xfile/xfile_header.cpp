#include "gfx/xfile/xfile_header.h"

#include <string>
#include <string_view>

namespace gfx::xfile {

namespace {

std::string_view Field(std::span<const std::byte> bytes, std::size_t offset, std::size_t size) {
    return {reinterpret_cast<const char*>(bytes.data()) + offset, size};
}

// Header fields may hold any byte; show them escaped so the message stays printable.
std::string Printable(std::string_view field) {
    std::string out;
    for (char c : field) {
        if (c >= 0x20 && c < 0x7f) {
            out += c;
        } else {
            static constexpr char kHex[] = "0123456789abcdef";
            const auto byte = static_cast<unsigned char>(c);
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

}  // namespace

Result<Header> ParseHeader(std::span<const std::byte> bytes) {
    if (bytes.size() < kHeaderSize) {
        return Error{"file is " + std::to_string(bytes.size()) +
                     " bytes long, shorter than the 16-byte .x header"};
    }
    if (Field(bytes, 0, 4) != "xof ") {
        return Error{"not a .x file: it starts with '" + Printable(Field(bytes, 0, 4)) +
                     "' instead of 'xof '"};
    }
    Header header;
    const std::string_view format = Field(bytes, 8, 4);
    if (format == "txt ") {
    } else if (format == "bin ") {
        header.binary = true;
    } else if (format == "tzip") {
        header.compressed = true;
    } else if (format == "bzip") {
        header.binary = true;
        header.compressed = true;
    } else {
        return Error{"unknown .x encoding '" + Printable(format) +
                     "' (expected 'txt ', 'bin ', 'tzip' or 'bzip')"};
    }
    const std::string_view floatSize = Field(bytes, 12, 4);
    if (floatSize == "0032") {
        header.floatBytes = 4;
    } else if (floatSize == "0064") {
        header.floatBytes = 8;
    } else {
        return Error{"unknown .x float size '" + Printable(floatSize) +
                     "' (expected '0032' or '0064')"};
    }
    return header;
}

}  // namespace gfx::xfile
