// TGA decoding through stb_image: true-colour (15, 16, 24 and 32 bits; 32 with alpha), grey
// (8 bits, 16 with alpha) and colour-mapped images, uncompressed or run-length encoded.
//
// stb_image pads data that ends early with zeros and allocates the image before reading it, so
// the header and the amount of data are checked here first: the decoder only ever sees a file
// whose pixels are all present.

#include <stb_image.h>

#include <climits>
#include <memory>
#include <string>

#include "gfx/image/image_decoders.h"

namespace gfx {
namespace {

constexpr std::size_t kHeaderSize = 18;

using Bytes = std::span<const std::byte>;

Error Fail(const std::string& reason) {
    return Error{"TGA: " + reason};
}

struct TgaHeader {
    std::uint32_t idLength, mapType, imageType, mapFirst, mapLength, mapBits;
    std::uint32_t width, height, pixelBits;
    bool runLength() const { return imageType >= 9; }
    bool colourMapped() const { return (imageType & 7) == 1; }
    std::size_t pixelBytes() const { return (pixelBits + 7) / 8; }
    std::size_t mapBytes() const { return mapType == 1 ? mapLength * ((mapBits + 7) / 8) : 0; }
};

TgaHeader ReadHeader(Bytes b) {
    return {U8(b, 0), U8(b, 1),   U8(b, 2),   U16(b, 3), U16(b, 5),
            U8(b, 7), U16(b, 12), U16(b, 14), U8(b, 16)};
}

// The kinds of image the decoder reads: a colour map exactly for colour-mapped images, with
// 8- or 16-bit indices; 15- to 32-bit true colour; 8- or 16-bit (grey and alpha) grey.
bool Describable(const TgaHeader& h) {
    const auto oneOf = [](std::uint32_t v, std::initializer_list<std::uint32_t> set) {
        for (std::uint32_t s : set) {
            if (v == s) return true;
        }
        return false;
    };
    if (!oneOf(h.imageType, {1, 2, 3, 9, 10, 11})) return false;
    if (h.width == 0 || h.height == 0) return false;
    switch (h.imageType & 7) {
        case 1:
            return h.mapType == 1 && oneOf(h.mapBits, {8, 15, 16, 24, 32}) &&
                   oneOf(h.pixelBits, {8, 16});
        case 2:
            return h.mapType == 0 && oneOf(h.pixelBits, {15, 16, 24, 32});
        default:  // 3, grey
            return h.mapType == 0 && oneOf(h.pixelBits, {8, 16});
    }
}

// Walks the packets of run-length data until they cover `pixels` pixels; false when the data
// ends first. A packet is a count byte (1 to 128 pixels) followed by one pixel value (a run,
// top bit set) or by `count` values.
bool RunLengthDataComplete(Bytes data, std::uint64_t pixels, std::size_t pixelBytes) {
    std::size_t at = 0;
    for (std::uint64_t covered = 0; covered < pixels;) {
        if (at >= data.size()) return false;
        const std::uint32_t packet = U8(data, at++);
        const std::uint32_t count = (packet & 0x7F) + 1;
        const std::size_t values = (packet & 0x80) != 0 ? 1 : count;
        if (data.size() - at < values * pixelBytes) return false;
        at += values * pixelBytes;
        covered += count;
    }
    return true;
}

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

bool HasTgaHeader(std::span<const std::byte> bytes) {
    return bytes.size() >= kHeaderSize && Describable(ReadHeader(bytes));
}

Result<Image> DecodeTga(std::span<const std::byte> bytes) {
    if (!HasTgaHeader(bytes)) return Fail("not a TGA image of a supported kind");
    const TgaHeader h = ReadHeader(bytes);
    if (h.width > kMaxImageDimension || h.height > kMaxImageDimension) {
        return Fail(std::to_string(h.width) + " x " + std::to_string(h.height) + " exceeds the " +
                    std::to_string(kMaxImageDimension) + " x " +
                    std::to_string(kMaxImageDimension) + " limit");
    }
    if (h.colourMapped() && h.mapFirst != 0) {
        return Fail("colour maps starting at entry " + std::to_string(h.mapFirst) +
                    " are not supported");
    }
    if (h.colourMapped() && h.mapLength == 0) return Fail("colour-mapped image without a map");
    if (bytes.size() > INT_MAX) return Fail("file too large");

    const std::size_t pixelStart = kHeaderSize + h.idLength + h.mapBytes();
    if (bytes.size() < pixelStart) return Fail("truncated header or colour map");
    const Bytes pixelData = bytes.subspan(pixelStart);
    const std::uint64_t pixels = std::uint64_t{h.width} * h.height;
    if (h.runLength()) {
        if (!RunLengthDataComplete(pixelData, pixels, h.pixelBytes())) {
            return Fail("truncated run-length data");
        }
    } else if (pixelData.size() < pixels * h.pixelBytes()) {
        return Fail("truncated pixel data (" + std::to_string(pixels * h.pixelBytes()) +
                    " bytes needed, " + std::to_string(pixelData.size()) + " present)");
    }

    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, StbFree> rgba(
        stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                              static_cast<int>(bytes.size()), &width, &height, &channels, 4));
    if (!rgba) {
        const char* reason = stbi_failure_reason();
        return Fail(reason != nullptr ? reason : "cannot decode the image");
    }
    if (static_cast<std::uint32_t>(width) != h.width ||
        static_cast<std::uint32_t>(height) != h.height) {
        return Fail("decoded size differs from the header");
    }
    Image image{h.width, h.height, {}};
    image.texels.resize(pixels);
    for (std::size_t i = 0; i < image.texels.size(); ++i) {
        const stbi_uc* p = rgba.get() + 4 * i;
        image.texels[i] = PackArgb(p[3], p[0], p[1], p[2]);
    }
    return image;
}

}  // namespace gfx
