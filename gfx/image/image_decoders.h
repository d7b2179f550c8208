#pragma once
// The per-format decoders behind DecodeImage. Each expects bytes of its own format (the caller
// has checked the signature) and prefixes its errors with the format name.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

#include "gfx/base/result.h"
#include "gfx/image/image.h"

namespace gfx {

Result<Image> DecodeBmp(std::span<const std::byte> bytes);
Result<Image> DecodePng(std::span<const std::byte> bytes);
Result<Image> DecodeJpeg(std::span<const std::byte> bytes);
Result<Image> DecodeTga(std::span<const std::byte> bytes);
Result<Image> DecodeDds(std::span<const std::byte> bytes);

// Whether the bytes start with a header that describes a TGA image of a kind DecodeTga reads.
bool HasTgaHeader(std::span<const std::byte> bytes);

// Little-endian reads at a byte offset the caller has checked.
inline std::uint32_t U8(std::span<const std::byte> b, std::size_t at) {
    return std::to_integer<std::uint32_t>(b[at]);
}
inline std::uint32_t U16(std::span<const std::byte> b, std::size_t at) {
    return U8(b, at) | (U8(b, at + 1) << 8);
}
inline std::uint32_t U32(std::span<const std::byte> b, std::size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

// Packs 8-bit channels into one ARGB texel.
inline constexpr std::uint32_t PackArgb(std::uint32_t a, std::uint32_t r, std::uint32_t g,
                                        std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The bits of a pixel selected by a channel mask, scaled to 8 bits; `absent` when the mask is 0.
inline std::uint32_t MaskedChannel(std::uint32_t pixel, std::uint32_t mask, std::uint32_t absent) {
    if (mask == 0) return absent;
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    if (max >= 255) return value >> (std::bit_width(max) - 8);
    return (value * 255 + max / 2) / max;
}

}  // namespace gfx
