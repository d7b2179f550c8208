// Textures from image files: level 0 at the requested size, the colour key, the mip chain.

#include <algorithm>
#include <bit>
#include <string>

#include "gfx/image/image.h"

namespace gfx {
namespace {

// The image unscaled at the top-left of a transparent black canvas of the given size.
Image PlaceOnCanvas(const Image& image, std::uint32_t width, std::uint32_t height) {
    Image canvas{width, height, std::vector<std::uint32_t>(std::size_t{width} * height, 0)};
    const std::uint32_t copyWidth = std::min(width, image.width);
    const std::uint32_t copyHeight = std::min(height, image.height);
    for (std::size_t y = 0; y < copyHeight; ++y) {
        const auto source = image.texels.begin() + static_cast<std::ptrdiff_t>(y * image.width);
        std::copy(source, source + copyWidth,
                  canvas.texels.begin() + static_cast<std::ptrdiff_t>(y * width));
    }
    return canvas;
}

std::uint32_t ChannelOf(std::uint32_t texel, int shift) {
    return (texel >> shift) & 0xFF;
}

Result<Texture> BuildTexture(Result<Image> decoded, std::uint32_t width, std::uint32_t height,
                             std::uint32_t mipLevels, Colour colourKey) {
    if (!decoded) return Error{decoded.error()};
    if (width > kMaxImageDimension || height > kMaxImageDimension) {
        return Error{"texture size " + std::to_string(width) + " x " + std::to_string(height) +
                     " exceeds the limit of " + std::to_string(kMaxImageDimension)};
    }
    Image base = std::move(decoded).value();
    ApplyColourKey(base, colourKey);
    if (width == 0) width = base.width;
    if (height == 0) height = base.height;
    if (width != base.width || height != base.height) base = PlaceOnCanvas(base, width, height);

    const std::uint32_t fullChain = FullMipChainLength(width, height);
    const std::uint32_t levelCount = mipLevels == 0 ? fullChain : std::min(mipLevels, fullChain);
    Texture texture;
    texture.levels.reserve(levelCount);
    texture.levels.push_back(std::move(base));
    while (texture.levels.size() < levelCount) {
        texture.levels.push_back(HalveImage(texture.levels.back()));
    }
    return texture;
}

}  // namespace

std::uint32_t FullMipChainLength(std::uint32_t width, std::uint32_t height) {
    const std::uint32_t largest = std::max({width, height, std::uint32_t{1}});
    return static_cast<std::uint32_t>(std::bit_width(largest));
}

Image HalveImage(const Image& source) {
    Image half{std::max(1u, source.width / 2), std::max(1u, source.height / 2), {}};
    half.texels.resize(std::size_t{half.width} * half.height);
    // Along a side of length 1 the "2 x 2" block is only one texel wide.
    const std::size_t stepX = source.width > 1 ? 1 : 0;
    const std::size_t stepY = source.height > 1 ? source.width : 0;
    for (std::size_t y = 0; y < half.height; ++y) {
        for (std::size_t x = 0; x < half.width; ++x) {
            const std::size_t topLeft = 2 * y * source.width + 2 * x;
            const std::uint32_t block[4] = {source.texels[topLeft], source.texels[topLeft + stepX],
                                            source.texels[topLeft + stepY],
                                            source.texels[topLeft + stepY + stepX]};
            std::uint32_t texel = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                std::uint32_t sum = 0;
                for (std::uint32_t t : block) sum += ChannelOf(t, shift);
                texel |= ((sum + 2) / 4) << shift;
            }
            half.texels[y * half.width + x] = texel;
        }
    }
    return half;
}

Result<Texture> CreateTextureFromFileInMemoryEx(std::span<const std::byte> bytes,
                                                std::uint32_t width, std::uint32_t height,
                                                std::uint32_t mipLevels, Colour colourKey) {
    return BuildTexture(DecodeImage(bytes), width, height, mipLevels, colourKey);
}

Result<Texture> CreateTextureFromFileEx(const std::string& path, std::uint32_t width,
                                        std::uint32_t height, std::uint32_t mipLevels,
                                        Colour colourKey) {
    return BuildTexture(LoadImageFile(path), width, height, mipLevels, colourKey);
}

}  // namespace gfx
