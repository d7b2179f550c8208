#include "app/export/png_encode.h"

#include <climits>

// stb_image_write compiled here, its functions private to this file.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace app {

namespace {

void Append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<std::uint8_t> EncodePngRgba(const gfx::Image& image) {
    const std::size_t count = std::size_t{image.width} * image.height;
    if (count == 0 || image.texels.size() != count || image.width > INT_MAX / 4 ||
        image.height > INT_MAX) {
        return {};
    }
    std::vector<std::uint8_t> rgba(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t argb = image.texels[i];
        rgba[i * 4 + 0] = static_cast<std::uint8_t>(argb >> 16);
        rgba[i * 4 + 1] = static_cast<std::uint8_t>(argb >> 8);
        rgba[i * 4 + 2] = static_cast<std::uint8_t>(argb);
        rgba[i * 4 + 3] = static_cast<std::uint8_t>(argb >> 24);
    }
    std::vector<std::uint8_t> png;
    const int width = static_cast<int>(image.width);
    const int height = static_cast<int>(image.height);
    if (stbi_write_png_to_func(Append, &png, width, height, 4, rgba.data(), width * 4) == 0) {
        return {};
    }
    return png;
}

}  // namespace app
