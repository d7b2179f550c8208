#pragma once
// One overlay font: a FreeType font, its glyph atlas, and the glyphs queued for drawing. Text is
// laid out as the Windows DrawText function does with tab expansion and no '&' prefixes, and
// clipped to its rectangle. All storage is set aside when the font is made, so drawing
// allocates nothing once the characters in use have been rasterised.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "gfx/font/font.h"
#include "scene/overlay_text_atlas.h"
#include "scene/overlay_text_draw.h"

namespace scene {

class OverlayFont {
  public:
    // Glyphs held before a draw call is made; more are drawn in several calls.
    static constexpr std::size_t kBatchGlyphs = 256;

    explicit OverlayFont(gfx::Font font);
    OverlayFont(const OverlayFont&) = delete;
    OverlayFont& operator=(const OverlayFont&) = delete;

    // Between Begin and End text is only queued; End draws it. Outside, each text is drawn at
    // once.
    void Begin() { batching_ = true; }
    void End(std::int32_t screenWidth, std::int32_t screenHeight);

    // The text with its first line's cell at (rect.left, rect.top), clipped to the rectangle
    // (right and bottom exclusive) and to the screen. Needs the context current.
    void Draw(std::string_view utf8, gfx::TextRect rect, gfx::Colour colour,
              std::int32_t screenWidth, std::int32_t screenHeight);

    // Deletes the atlas texture and forgets queued text; the context must still exist.
    void ReleaseTexture();

    gfx::Font& font() { return font_; }

  private:
    void Queue(char32_t character, const gfx::GlyphBitmap& bitmap, std::int64_t left,
               std::int64_t top, const gfx::TextRect& clip, gfx::Colour colour,
               std::int32_t screenWidth, std::int32_t screenHeight);
    void Flush(std::int32_t screenWidth, std::int32_t screenHeight);

    gfx::Font font_;
    GlyphAtlas atlas_;
    std::vector<GlyphQuad> queue_;
    std::vector<TextVertex> corners_;
    bool batching_ = false;
};

}  // namespace scene
