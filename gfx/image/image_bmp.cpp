// BMP decoding: the core (12-byte) and info (40-byte and later) headers; 1-, 4- and 8-bit
// palettised, 16-, 24- and 32-bit direct colour, bit-field masks, RLE4 and RLE8; bottom-up and
// top-down rows.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>

#include "gfx/image/image_decoders.h"

namespace gfx {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kInfoHeaderSize = 40;

using Bytes = std::span<const std::byte>;

Error Fail(const std::string& reason) {
    return Error{"BMP: " + reason};
}

// Channel masks of direct-colour pixels, red, green, blue, alpha (0 = channel absent).
using Masks = std::array<std::uint32_t, 4>;

struct BmpLayout {
    std::uint32_t width = 0, height = 0;
    bool topDown = false;
    std::uint32_t bitCount = 0, compression = kBiRgb;
    Masks masks{};
    std::vector<std::uint32_t> palette;  // ARGB, opaque
    std::size_t pixelOffset = 0;
};

Result<BmpLayout> ReadPalette(Bytes bytes, BmpLayout layout, std::size_t paletteOffset,
                              std::size_t entrySize, std::uint32_t colorsUsed) {
    std::size_t count = std::size_t{1} << layout.bitCount;
    if (colorsUsed != 0) count = std::min<std::size_t>(count, colorsUsed);
    // A palette cannot reach into the pixels or past the end of the file.
    std::size_t paletteEnd = bytes.size();
    if (layout.pixelOffset >= paletteOffset) paletteEnd = std::min(paletteEnd, layout.pixelOffset);
    if (paletteOffset > paletteEnd) return Fail("palette lies outside the file");
    count = std::min(count, (paletteEnd - paletteOffset) / entrySize);
    if (count == 0) return Fail("palettised image without a palette");
    layout.palette.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t at = paletteOffset + i * entrySize;  // blue, green, red [, reserved]
        layout.palette[i] = PackArgb(0xFF, U8(bytes, at + 2), U8(bytes, at + 1), U8(bytes, at));
    }
    return layout;
}

Result<BmpLayout> ParseHeaders(Bytes bytes) {
    if (bytes.size() < kFileHeaderSize + 4) return Fail("file too short for its headers");
    BmpLayout layout;
    layout.pixelOffset = U32(bytes, 10);
    const std::size_t headerSize = U32(bytes, kFileHeaderSize);
    if (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize) {
        return Fail("unsupported header size " + std::to_string(headerSize));
    }
    if (bytes.size() - kFileHeaderSize < headerSize) return Fail("truncated header");

    std::int64_t width = 0, height = 0;
    std::uint32_t colorsUsed = 0;
    std::size_t paletteEntrySize = 4;
    std::size_t paletteOffset = kFileHeaderSize + headerSize;
    if (headerSize == kCoreHeaderSize) {
        width = U16(bytes, 18);
        height = U16(bytes, 20);
        layout.bitCount = U16(bytes, 24);
        paletteEntrySize = 3;
    } else {
        width = static_cast<std::int32_t>(U32(bytes, 18));
        height = static_cast<std::int32_t>(U32(bytes, 22));
        layout.bitCount = U16(bytes, 28);
        layout.compression = U32(bytes, 30);
        colorsUsed = U32(bytes, 46);
        const bool bitfields =
            layout.compression == kBiBitfields || layout.compression == kBiAlphaBitfields;
        if (bitfields) {
            // Later headers hold the masks; after a 40-byte header they follow it.
            std::size_t maskCount = layout.compression == kBiAlphaBitfields ? 4 : 3;
            if (headerSize >= 56) maskCount = 4;
            std::size_t maskOffset = kFileHeaderSize + kInfoHeaderSize;
            if (headerSize == kInfoHeaderSize) {
                if (bytes.size() < maskOffset + 4 * maskCount) return Fail("truncated bit masks");
                paletteOffset += 4 * maskCount;
            } else if (headerSize < kInfoHeaderSize + 4 * maskCount) {
                maskCount = (headerSize - kInfoHeaderSize) / 4;
            }
            for (std::size_t i = 0; i < maskCount; ++i) {
                layout.masks[i] = U32(bytes, maskOffset + 4 * i);
            }
        }
    }

    if (width <= 0 || height == 0) return Fail("empty or negative image size");
    layout.topDown = height < 0;
    if (height < 0) height = -height;
    if (width > kMaxImageDimension || height > kMaxImageDimension) {
        return Fail(std::to_string(width) + " x " + std::to_string(height) + " exceeds the " +
                    std::to_string(kMaxImageDimension) + " x " +
                    std::to_string(kMaxImageDimension) + " limit");
    }
    layout.width = static_cast<std::uint32_t>(width);
    layout.height = static_cast<std::uint32_t>(height);
    if (layout.pixelOffset >= bytes.size()) return Fail("pixel data offset beyond the file");

    const std::uint32_t bits = layout.bitCount;
    switch (layout.compression) {
        case kBiRgb:
            if (bits == 16) layout.masks = {0x7C00, 0x03E0, 0x001F, 0};
            if (bits == 32) layout.masks = {0xFF0000, 0xFF00, 0xFF, 0};
            if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
                return Fail("unsupported bit depth " + std::to_string(bits));
            }
            break;
        case kBiRle8:
        case kBiRle4:
            if (bits != (layout.compression == kBiRle8 ? 8u : 4u)) {
                return Fail("run-length compression does not match bit depth " +
                            std::to_string(bits));
            }
            break;
        case kBiBitfields:
        case kBiAlphaBitfields:
            if (bits != 16 && bits != 32) {
                return Fail("bit-field masks with bit depth " + std::to_string(bits));
            }
            break;
        default:
            return Fail("unsupported compression " + std::to_string(layout.compression));
    }
    if (bits <= 8)
        return ReadPalette(bytes, std::move(layout), paletteOffset, paletteEntrySize, colorsUsed);
    return layout;
}

std::uint32_t FromMasks(std::uint32_t pixel, const Masks& m) {
    return PackArgb(MaskedChannel(pixel, m[3], 0xFF), MaskedChannel(pixel, m[0], 0),
                    MaskedChannel(pixel, m[1], 0), MaskedChannel(pixel, m[2], 0));
}

// Image row written by the given row of the file.
std::size_t ImageRow(const BmpLayout& layout, std::size_t fileRow) {
    return layout.topDown ? fileRow : layout.height - 1 - fileRow;
}

Result<Image> DecodeUncompressed(Bytes bytes, const BmpLayout& layout) {
    const std::uint64_t rowBits = std::uint64_t{layout.width} * layout.bitCount;
    const std::uint64_t stride = (rowBits + 31) / 32 * 4;
    const std::uint64_t needed = stride * layout.height;
    if (bytes.size() - layout.pixelOffset < needed) {
        return Fail("truncated pixel data (" + std::to_string(needed) + " bytes needed, " +
                    std::to_string(bytes.size() - layout.pixelOffset) + " present)");
    }
    Image image{layout.width, layout.height, {}};
    image.texels.resize(std::size_t{layout.width} * layout.height);
    const auto& palette = layout.palette;
    for (std::size_t r = 0; r < layout.height; ++r) {
        const std::size_t row = layout.pixelOffset + r * stride;
        std::uint32_t* out = image.texels.data() + ImageRow(layout, r) * layout.width;
        for (std::size_t x = 0; x < layout.width; ++x) {
            std::uint32_t index = 0;
            switch (layout.bitCount) {
                case 1:
                    index = (U8(bytes, row + x / 8) >> (7 - x % 8)) & 1;
                    break;
                case 4:
                    index = (U8(bytes, row + x / 2) >> (x % 2 ? 0 : 4)) & 0xF;
                    break;
                case 8:
                    index = U8(bytes, row + x);
                    break;
                case 16:
                    out[x] = FromMasks(U16(bytes, row + 2 * x), layout.masks);
                    continue;
                case 24:
                    out[x] = PackArgb(0xFF, U8(bytes, row + 3 * x + 2), U8(bytes, row + 3 * x + 1),
                                      U8(bytes, row + 3 * x));
                    continue;
                default:  // 32
                    out[x] = FromMasks(U32(bytes, row + 4 * x), layout.masks);
                    continue;
            }
            if (index >= palette.size()) {
                return Fail("pixel index " + std::to_string(index) + " outside the palette of " +
                            std::to_string(palette.size()) + " colours");
            }
            out[x] = palette[index];
        }
    }
    return image;
}

// RLE4 and RLE8: runs of one index (RLE4: two alternating nibbles), escapes for end of line,
// end of bitmap, a cursor move and literal runs padded to 16 bits. Texels the data skips stay
// transparent black. Without an image the stream is only checked: the escapes let a few bytes
// stand for any number of skipped texels, so the whole stream is read and checked before the
// pixel memory is allocated.
Status RunLengthPass(Bytes bytes, const BmpLayout& layout, Image* image) {
    const bool rle4 = layout.compression == kBiRle4;
    std::size_t x = 0, y = 0;  // y counts file rows
    std::size_t at = layout.pixelOffset;
    auto put = [&](std::uint32_t index) -> bool {
        if (index >= layout.palette.size()) return false;
        // Runs past the end of a row are clipped, as are rows past the last one.
        if (image != nullptr && x < layout.width && y < layout.height) {
            image->texels[ImageRow(layout, y) * layout.width + x] = layout.palette[index];
        }
        ++x;
        return true;
    };
    auto badIndex = [&] { return Fail("run-length index outside the palette"); };
    auto truncated = [&] {
        return Fail("truncated run-length data (it ends in row " + std::to_string(y + 1) + " of " +
                    std::to_string(layout.height) + ")");
    };
    while (y < layout.height) {
        if (bytes.size() - at < 2) return truncated();
        const std::uint32_t count = U8(bytes, at), value = U8(bytes, at + 1);
        at += 2;
        if (count > 0) {
            for (std::uint32_t i = 0; i < count; ++i) {
                std::uint32_t index = rle4 ? (i % 2 ? value & 0xF : value >> 4) : value;
                if (!put(index)) return badIndex();
            }
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // move the cursor right and up (in file rows)
            if (bytes.size() - at < 2) return truncated();
            x += U8(bytes, at);
            y += U8(bytes, at + 1);
            at += 2;
        } else {  // literal run of `value` indices
            const std::size_t dataBytes = rle4 ? (value + 1) / 2 : value;
            const std::size_t padded = (dataBytes + 1) & ~std::size_t{1};
            if (bytes.size() - at < padded) return truncated();
            for (std::uint32_t i = 0; i < value; ++i) {
                std::uint32_t index =
                    rle4 ? (U8(bytes, at + i / 2) >> (i % 2 ? 0 : 4)) & 0xF : U8(bytes, at + i);
                if (!put(index)) return badIndex();
            }
            at += padded;
        }
    }
    return {};
}

Result<Image> DecodeRunLength(Bytes bytes, const BmpLayout& layout) {
    if (Status checked = RunLengthPass(bytes, layout, nullptr); !checked) {
        return Error{checked.error()};
    }
    Image image{layout.width, layout.height, {}};
    image.texels.assign(std::size_t{layout.width} * layout.height, 0);
    // The same stream again: it cannot fail now.
    (void)RunLengthPass(bytes, layout, &image);
    return image;
}

}  // namespace

Result<Image> DecodeBmp(std::span<const std::byte> bytes) {
    auto layout = ParseHeaders(bytes);
    if (!layout) return Error{layout.error()};
    if (layout->compression == kBiRle8 || layout->compression == kBiRle4) {
        return DecodeRunLength(bytes, *layout);
    }
    return DecodeUncompressed(bytes, *layout);
}

}  // namespace gfx
