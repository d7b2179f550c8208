// Blending text coverage into ARGB texel buffers.

#include <algorithm>

#include "gfx/font/font_text.h"

namespace gfx {
namespace {

std::uint32_t Channel(std::uint32_t texel, int shift) {
    return (texel >> shift) & 0xFF;
}

// Source-over with an 8-bit alpha: colour channels mix, alpha accumulates.
std::uint32_t BlendTexel(std::uint32_t destination, Colour colour, std::uint32_t alpha) {
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const std::uint32_t mixed =
            (Channel(colour, shift) * alpha + Channel(destination, shift) * (255 - alpha) + 127) /
            255;
        out |= mixed << shift;
    }
    const std::uint32_t outAlpha = alpha + (Channel(destination, 24) * (255 - alpha) + 127) / 255;
    return out | (outAlpha << 24);
}

}  // namespace

void BlendCoverage(ClippedTarget& target, const GlyphBitmap& glyph, std::int64_t x, std::int64_t y,
                   Colour colour) {
    const std::uint32_t colourAlpha = Channel(colour, 24);
    const std::int64_t x0 = std::max(x, target.left);
    const std::int64_t x1 = std::min<std::int64_t>(x + glyph.width, target.right);
    const std::int64_t y0 = std::max(y, target.top);
    const std::int64_t y1 = std::min<std::int64_t>(y + glyph.rows, target.bottom);
    for (std::int64_t ty = y0; ty < y1; ++ty) {
        const std::uint8_t* coverageRow = glyph.coverage.data() + (ty - y) * glyph.width;
        std::uint32_t* row = target.texels.data() + ty * std::int64_t{target.width};
        for (std::int64_t tx = x0; tx < x1; ++tx) {
            const std::uint32_t alpha = (colourAlpha * coverageRow[tx - x] + 127) / 255;
            if (alpha != 0) row[tx] = BlendTexel(row[tx], colour, alpha);
        }
    }
}

void BlendHorizontalLine(ClippedTarget& target, std::int64_t x, std::int64_t y, std::int64_t width,
                         Colour colour) {
    if (y < target.top || y >= target.bottom) return;
    const std::uint32_t alpha = Channel(colour, 24);
    if (alpha == 0) return;
    std::uint32_t* row = target.texels.data() + y * std::int64_t{target.width};
    const std::int64_t x1 = std::min(x + width, target.right);
    for (std::int64_t tx = std::max(x, target.left); tx < x1; ++tx) {
        row[tx] = BlendTexel(row[tx], colour, alpha);
    }
}

}  // namespace gfx
