#pragma once
// PNG files in memory, for images that travel inside another file.

#include <cstdint>
#include <vector>

#include "gfx/image/image.h"

namespace app {

// The image as an 8-bit RGBA PNG (alpha kept). Empty for an empty image or an encoder failure.
std::vector<std::uint8_t> EncodePngRgba(const gfx::Image& image);

}  // namespace app
