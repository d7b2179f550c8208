// DDS decoding: the first surface of DXT1, DXT3 and DXT5 files (blocks decoded by libsquish) and
// of uncompressed files described by channel masks (A8R8G8B8, X8R8G8B8, R8G8B8, R5G6B5,
// A1R5G5B5, X1R5G5B5, A4R4G4B4, A8B8G8R8 and the like, luminance and alpha-only layouts).
// The file's own smaller mip levels, further cube faces and volume slices are not read.

#include <squish.h>

#include <array>
#include <string>
#include <vector>

#include "gfx/image/image_decoders.h"

namespace gfx {
namespace {

constexpr std::size_t kHeaderEnd = 128;  // "DDS " and the 124-byte header
constexpr std::uint32_t kHeaderSize = 124;
constexpr std::uint32_t kPixelFormatSize = 32;

// Pixel format flags.
constexpr std::uint32_t kAlphaPixels = 0x1;
constexpr std::uint32_t kAlphaOnly = 0x2;
constexpr std::uint32_t kFourCc = 0x4;
constexpr std::uint32_t kRgb = 0x40;
constexpr std::uint32_t kLuminance = 0x20000;

using Bytes = std::span<const std::byte>;

constexpr std::uint32_t FourCc(const char (&code)[5]) {
    return static_cast<std::uint32_t>(code[0]) | (static_cast<std::uint32_t>(code[1]) << 8) |
           (static_cast<std::uint32_t>(code[2]) << 16) |
           (static_cast<std::uint32_t>(code[3]) << 24);
}

Error Fail(const std::string& reason) {
    return Error{"DDS: " + reason};
}

// A four-character code as text when it is printable, else its number.
std::string DescribeFourCc(std::uint32_t code) {
    std::string text;
    for (int shift = 0; shift < 32; shift += 8) {
        const char c = static_cast<char>((code >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E) return std::to_string(code);
        text.push_back(c);
    }
    return text;
}

Error Truncated(std::uint64_t needed, std::size_t present) {
    return Fail("truncated pixel data (" + std::to_string(needed) + " bytes needed, " +
                std::to_string(present) + " present)");
}

Result<Image> DecodeBlocks(Bytes data, std::uint32_t width, std::uint32_t height,
                           std::uint32_t fourCc) {
    int flags = squish::kDxt1;
    std::uint64_t blockBytes = 8;
    if (fourCc == FourCc("DXT3")) {
        flags = squish::kDxt3;
        blockBytes = 16;
    } else if (fourCc == FourCc("DXT5")) {
        flags = squish::kDxt5;
        blockBytes = 16;
    } else if (fourCc != FourCc("DXT1")) {
        return Fail("unsupported compressed format " + DescribeFourCc(fourCc));
    }
    const std::uint64_t needed = std::uint64_t{(width + 3) / 4} * ((height + 3) / 4) * blockBytes;
    if (data.size() < needed) return Truncated(needed, data.size());

    std::vector<squish::u8> rgba(std::size_t{width} * height * 4);
    squish::DecompressImage(rgba.data(), static_cast<int>(width), static_cast<int>(height),
                            data.data(), flags);
    Image image{width, height, std::vector<std::uint32_t>(std::size_t{width} * height)};
    for (std::size_t i = 0; i < image.texels.size(); ++i) {
        const squish::u8* p = rgba.data() + 4 * i;
        image.texels[i] = PackArgb(p[3], p[0], p[1], p[2]);
    }
    return image;
}

Result<Image> DecodeMasked(Bytes data, std::uint32_t width, std::uint32_t height,
                           std::uint32_t flags, std::uint32_t bits,
                           const std::array<std::uint32_t, 4>& masks) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return Fail("unsupported bit count " + std::to_string(bits));
    }
    const std::uint32_t pixelBytes = bits / 8;
    const std::uint64_t needed = std::uint64_t{width} * height * pixelBytes;  // rows unpadded
    if (data.size() < needed) return Truncated(needed, data.size());

    const bool luminance = (flags & kLuminance) != 0;
    const bool alphaOnly = (flags & (kRgb | kLuminance)) == 0;
    const std::uint32_t alphaMask = (flags & (kAlphaPixels | kAlphaOnly)) != 0 ? masks[3] : 0;
    Image image{width, height, std::vector<std::uint32_t>(std::size_t{width} * height)};
    for (std::size_t i = 0; i < image.texels.size(); ++i) {
        std::uint32_t pixel = 0;
        for (std::uint32_t k = 0; k < pixelBytes; ++k) {
            pixel |= U8(data, i * pixelBytes + k) << (8 * k);
        }
        const std::uint32_t a = MaskedChannel(pixel, alphaMask, 0xFF);
        if (alphaOnly) {
            image.texels[i] = PackArgb(a, 0, 0, 0);
        } else if (luminance) {
            const std::uint32_t l = MaskedChannel(pixel, masks[0], 0);
            image.texels[i] = PackArgb(a, l, l, l);
        } else {
            image.texels[i] =
                PackArgb(a, MaskedChannel(pixel, masks[0], 0), MaskedChannel(pixel, masks[1], 0),
                         MaskedChannel(pixel, masks[2], 0));
        }
    }
    return image;
}

}  // namespace

Result<Image> DecodeDds(std::span<const std::byte> bytes) {
    if (bytes.size() < kHeaderEnd) return Fail("file too short for its header");
    if (U32(bytes, 4) != kHeaderSize || U32(bytes, 76) != kPixelFormatSize) {
        return Fail("malformed header");
    }
    const std::uint32_t height = U32(bytes, 12), width = U32(bytes, 16);
    if (width == 0 || height == 0) return Fail("empty image size");
    if (width > kMaxImageDimension || height > kMaxImageDimension) {
        return Fail(std::to_string(width) + " x " + std::to_string(height) + " exceeds the " +
                    std::to_string(kMaxImageDimension) + " x " +
                    std::to_string(kMaxImageDimension) + " limit");
    }
    const std::uint32_t flags = U32(bytes, 80);
    const Bytes data = bytes.subspan(kHeaderEnd);
    if ((flags & kFourCc) != 0) return DecodeBlocks(data, width, height, U32(bytes, 84));
    if ((flags & (kRgb | kLuminance | kAlphaOnly)) == 0) return Fail("unsupported pixel format");
    return DecodeMasked(data, width, height, flags, U32(bytes, 88),
                        {U32(bytes, 92), U32(bytes, 96), U32(bytes, 100), U32(bytes, 104)});
}

}  // namespace gfx
