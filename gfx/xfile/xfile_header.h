#pragma once
// The 16-byte header every .x file starts with: "xof ", a 4-character version, the encoding
// ("txt ", "bin ", "tzip", "bzip") and the float size ("0032" or "0064").

#include <cstddef>
#include <span>

#include "gfx/base/result.h"

namespace gfx::xfile {

inline constexpr std::size_t kHeaderSize = 16;

struct Header {
    bool binary = false;      // token stream instead of text
    bool compressed = false;  // MSZIP chunks follow the header
    int floatBytes = 4;       // size of a float in binary float lists
};

Result<Header> ParseHeader(std::span<const std::byte> bytes);

}  // namespace gfx::xfile
