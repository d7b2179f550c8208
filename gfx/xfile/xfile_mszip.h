#pragma once
// The compressed .x encodings ("tzip", "bzip"): after the 16-byte header a 32-bit size of the
// whole inflated file (header included), then chunks of
//   16-bit inflated size (at most 32768), 16-bit compressed size, "CK", raw deflate data.
// The compressed size counts the "CK" signature as documented; chunks written without it are
// recognised by where their deflate stream ends. Each chunk inflates with the output before it
// as the deflate dictionary.

#include <cstddef>
#include <span>
#include <vector>

#include "gfx/base/result.h"

namespace gfx::xfile {

inline constexpr std::size_t kMsZipMaxChunk = 32768;

// `afterHeader` is the file without its 16-byte header; the result is the inflated body, the
// bytes that follow the header in the equivalent uncompressed file.
Result<std::vector<std::byte>> InflateMsZip(std::span<const std::byte> afterHeader);

}  // namespace gfx::xfile
