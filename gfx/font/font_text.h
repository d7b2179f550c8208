#pragma once
// The pieces behind Font's text functions: UTF-8 decoding, line/tab/prefix layout and blending
// coverage into texel buffers. Internal to the font module.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/font/font.h"

namespace gfx {

// Code points of UTF-8 text; every byte that does not start a valid, shortest-form sequence
// becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view utf8);
bool IsValidUtf8(std::string_view utf8);

struct PlacedGlyph {
    char32_t character = 0;
    std::int32_t x = 0;     // pen position from the start of the line
    std::int32_t line = 0;  // line number from 0
};

struct UnderlineSpan {
    std::int32_t x = 0, width = 0, line = 0;
};

struct TextLayout {
    std::vector<PlacedGlyph> glyphs;
    std::vector<UnderlineSpan> underlines;  // characters marked with '&' (without kTextNoPrefix)
    std::int32_t width = 0;                 // the widest line
    std::int32_t lineCount = 0;             // 0 for empty text
};

// Places the characters on lines: line breaks at '\n', '\r' and "\r\n"; with kTextExpandTabs a
// tab moves the pen to the next multiple of tabWidth (> 0); without kTextNoPrefix "&&" is an
// ampersand and "&c" underlines c.
TextLayout LayOutText(std::u32string_view text, std::uint32_t flags, std::int32_t tabWidth,
                      const std::function<std::int32_t(char32_t)>& advance);

// A texel buffer with the region drawing may touch (already inside the buffer).
struct ClippedTarget {
    std::span<std::uint32_t> texels;
    std::uint32_t width = 0;
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
};

// Blends `colour` over the target with the alpha colourAlpha * coverage, for a coverage bitmap
// whose top-left texel lands at (x, y).
void BlendCoverage(ClippedTarget& target, const GlyphBitmap& glyph, std::int64_t x, std::int64_t y,
                   Colour colour);
// A one-texel-high line of full coverage from (x, y), `width` texels long.
void BlendHorizontalLine(ClippedTarget& target, std::int64_t x, std::int64_t y, std::int64_t width,
                         Colour colour);

}  // namespace gfx
