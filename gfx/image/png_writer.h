#pragma once
// Encoding images as 8-bit PNG through libpng: in memory, for images that travel inside another
// file, or to a file.

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/base/result.h"
#include "gfx/image/image.h"

namespace gfx {

// Which channels the PNG keeps: RGB drops the texels' alpha (the back buffer has none worth
// keeping), RGBA keeps it (textures).
enum class PngChannels { kRgb, kRgba };

// The image (width * height texels, ARGB, top row first) as PNG bytes. Fails with the reason for
// an empty image, a size above kMaxImageDimension, a texel count that does not match the size or
// an encoder error.
Result<std::vector<std::uint8_t>> EncodePng(const Image& image, PngChannels channels);

// Writes the image as an RGB PNG file. Fails as EncodePng does (an encoder error prefixed with the
// path), or when the file cannot be created or written; a failed write removes the partial file.
Status WritePngFile(const std::string& path, const Image& image);

}  // namespace gfx
