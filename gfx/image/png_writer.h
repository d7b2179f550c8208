#pragma once
// Writing images as PNG files through libpng: 8-bit RGB, the alpha of the texels dropped (the
// back buffer has none worth keeping).

#include <string>

#include "gfx/base/result.h"
#include "gfx/image/image.h"

namespace gfx {

// Writes the image (width * height texels, ARGB, top row first) to the file. Fails with the
// reason for an empty image, a texel count that does not match the size, a file that cannot be
// created or an encoder error; a failed write removes the partial file.
Status WritePngFile(const std::string& path, const Image& image);

}  // namespace gfx
