#include "scene/overlay_text_font.h"

#include <algorithm>

namespace scene {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes the UTF-8 sequence at text[at] and moves `at` past it. Anything that is not a valid,
// shortest-form sequence gives U+FFFD for its first byte alone, as the font's measuring does.
char32_t NextCharacter(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead < 0x80) {
        ++at;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    }
    bool valid = length != 0 && text.size() - at >= length && byte(1) >= low && byte(1) <= high;
    char32_t value = lead & (0xFFu >> (length + 1));
    for (std::size_t i = 1; valid && i < length; ++i) {
        valid = (byte(i) & 0xC0) == 0x80;
        value = (value << 6) | (byte(i) & 0x3Fu);
    }
    at += valid ? length : 1;
    return valid ? value : kReplacement;
}

}  // namespace

OverlayFont::OverlayFont(gfx::Font font) : font_(std::move(font)), corners_(4 * kBatchGlyphs) {
    queue_.reserve(kBatchGlyphs);
}

void OverlayFont::End(std::int32_t screenWidth, std::int32_t screenHeight) {
    batching_ = false;
    Flush(screenWidth, screenHeight);
}

void OverlayFont::Draw(std::string_view utf8, gfx::TextRect rect, gfx::Colour colour,
                       std::int32_t screenWidth, std::int32_t screenHeight) {
    const gfx::TextRect clip{std::max(rect.left, 0), std::max(rect.top, 0),
                             std::min(rect.right, screenWidth),
                             std::min(rect.bottom, screenHeight)};
    if (clip.left >= clip.right || clip.top >= clip.bottom) return;

    const std::int64_t tabWidth = 8 * std::int64_t{font_.AverageCharWidth()};
    std::int64_t pen = 0;  // from the rectangle's left edge
    std::int64_t lineTop = rect.top;
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t character = NextCharacter(utf8, at);
        if (character == U'\r' || character == U'\n') {
            if (character == U'\r' && at < utf8.size() && utf8[at] == '\n') ++at;
            pen = 0;
            lineTop += font_.LineHeight();
            if (lineTop >= clip.bottom) break;
            continue;
        }
        if (character == U'\t') {
            pen = (pen / tabWidth + 1) * tabWidth;
            continue;
        }
        const gfx::GlyphBitmap& bitmap = font_.Glyph(character);
        Queue(character, bitmap, rect.left + pen + bitmap.left,
              lineTop + font_.Ascent() - bitmap.top, clip, colour, screenWidth, screenHeight);
        pen += bitmap.advance;
    }
    if (!batching_) Flush(screenWidth, screenHeight);
}

void OverlayFont::Queue(char32_t character, const gfx::GlyphBitmap& bitmap, std::int64_t left,
                        std::int64_t top, const gfx::TextRect& clip, gfx::Colour colour,
                        std::int32_t screenWidth, std::int32_t screenHeight) {
    const std::int64_t x0 = std::max<std::int64_t>(left, clip.left);
    const std::int64_t y0 = std::max<std::int64_t>(top, clip.top);
    const std::int64_t x1 = std::min<std::int64_t>(left + bitmap.width, clip.right);
    const std::int64_t y1 = std::min<std::int64_t>(top + bitmap.rows, clip.bottom);
    if (x0 >= x1 || y0 >= y1) return;  // blank, or wholly clipped: no atlas room spent
    const AtlasGlyph* glyph = atlas_.Place(character, bitmap);
    if (glyph == nullptr) return;

    // Everything here lies inside the clip rectangle, so it fits 32 bits.
    queue_.push_back({static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0),
                      static_cast<std::int32_t>(x1 - x0), static_cast<std::int32_t>(y1 - y0),
                      glyph->x + static_cast<std::int32_t>(x0 - left),
                      glyph->y + static_cast<std::int32_t>(y0 - top), colour});
    if (queue_.size() == kBatchGlyphs) Flush(screenWidth, screenHeight);
}

void OverlayFont::Flush(std::int32_t screenWidth, std::int32_t screenHeight) {
    if (queue_.empty()) return;
    DrawGlyphQuads(atlas_, queue_, corners_, screenWidth, screenHeight);
    queue_.clear();
}

void OverlayFont::ReleaseTexture() {
    queue_.clear();
    atlas_.ReleaseTexture();
}

}  // namespace scene
