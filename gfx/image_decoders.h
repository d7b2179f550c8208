#pragma once
// The per-format decoders behind DecodeImage. Each expects bytes of its own format (the caller
// has checked the signature) and prefixes its errors with the format name.

#include <cstddef>
#include <cstdint>
#include <span>

#include "gfx/image.h"
#include "gfx/result.h"

namespace gfx {

Result<Image> DecodeBmp(std::span<const std::byte> bytes);
Result<Image> DecodePng(std::span<const std::byte> bytes);
Result<Image> DecodeJpeg(std::span<const std::byte> bytes);

// Packs 8-bit channels into one ARGB texel.
inline constexpr std::uint32_t PackArgb(std::uint32_t a, std::uint32_t r, std::uint32_t g,
                                        std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace gfx
