#pragma once
// Texture images: decoding BMP, PNG, JPEG, TGA and DDS files into A8R8G8B8 texels, the colour
// key, and textures with their mip chains as the texture loader of the fixed-function pipeline
// builds them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gfx/base/result.h"
#include "gfx/math/math_types.h"

namespace gfx {

// Neither side of a decoded image may exceed this many texels; larger claims are refused
// before any pixel memory is allocated.
inline constexpr std::uint32_t kMaxImageDimension = 16384;

// A decoded image: packed ARGB texels (alpha in the top byte), rows from top to bottom.
// Formats without alpha decode with alpha 0xFF.
struct Image {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint32_t> texels;  // width * height entries
};

// A texture: level 0 is the full image, each further level half the size of the one before.
struct Texture {
    std::vector<Image> levels;
};

enum class ImageFormat { kUnknown, kBmp, kPng, kJpeg, kTga, kDds };

// The format named by the signature at the start of the bytes (the file extension is ignored).
// TGA has no signature: bytes that no other format claims are TGA when their 18-byte header
// describes a TGA image.
ImageFormat DetectImageFormat(std::span<const std::byte> bytes);

// Decodes a BMP, PNG, JPEG, TGA or DDS file held in memory. Malformed or truncated data fails
// with the reason, as does a header claiming more pixels than the data can hold; that is checked
// before the pixel memory is allocated. Texels that a run-length BMP skips over decode as
// transparent black. A DDS file gives its first surface (its own smaller levels are not read).
Result<Image> DecodeImage(std::span<const std::byte> bytes);
// Reads the file, then as above. The error names the path.
Result<Image> LoadImageFile(const std::string& path);

// Turns every texel equal to the key (all 32 bits) into transparent black. A key of 0 means
// "no key" and changes nothing.
void ApplyColourKey(Image& image, Colour key);

// Number of levels of the full mip chain of an image of this size, down to 1 x 1.
std::uint32_t FullMipChainLength(std::uint32_t width, std::uint32_t height);

// The next mip level: max(1, width / 2) x max(1, height / 2), each texel the mean of the (up to)
// 2 x 2 source texels it covers, per channel, rounded.
Image HalveImage(const Image& source);

// Texture creation with the loader's parameters. width / height 0 take the image's size; any
// other size places the image unscaled at the top-left of a transparent black level 0, cropped
// where it is larger (no filtering, no power-of-two rounding). mipLevels 0 builds the full chain,
// n builds n levels (at most the full chain). A non-zero colourKey (ARGB) is applied to the
// decoded image before the smaller levels are made.
Result<Texture> CreateTextureFromFileInMemoryEx(std::span<const std::byte> bytes,
                                                std::uint32_t width = 0, std::uint32_t height = 0,
                                                std::uint32_t mipLevels = 0, Colour colourKey = 0);
Result<Texture> CreateTextureFromFileEx(const std::string& path, std::uint32_t width = 0,
                                        std::uint32_t height = 0, std::uint32_t mipLevels = 0,
                                        Colour colourKey = 0);

}  // namespace gfx
