#pragma once
// One font's glyph atlas: the coverage bitmaps of the characters used so far, packed on shelves
// into a single 8-bit texture. A character is copied in on first use; the GL texture follows
// with a partial update for new glyphs and a full upload only when the atlas has grown.

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "gfx/font/font.h"

namespace scene {

// Where a glyph's coverage lies in the atlas, in texels, and how it sits on the pen.
struct AtlasGlyph {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    std::int32_t left = 0, top = 0;  // from the pen to the bitmap's left column / top row
    std::int32_t advance = 0;
};

class GlyphAtlas {
  public:
    static constexpr std::int32_t kInitialSize = 128;
    // Kept within what every GL implementation in use offers.
    static constexpr std::int32_t kMaxSize = 2048;

    GlyphAtlas();
    GlyphAtlas(const GlyphAtlas&) = delete;
    GlyphAtlas& operator=(const GlyphAtlas&) = delete;

    // The character's entry, packing its bitmap on first use. Null when the atlas cannot grow
    // enough to hold it (the character is then not drawn).
    const AtlasGlyph* Place(char32_t character, const gfx::GlyphBitmap& bitmap);

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    // Coverage, Height() rows of Width() texels.
    std::span<const std::uint8_t> Texels() const { return texels_; }

    // Brings the GL texture up to date and returns its name; 0 when GL refuses it. Needs the
    // context current.
    std::uint32_t SyncTexture();
    // Deletes the GL texture; the context must still exist. The destructor makes no GL calls:
    // an atlas dropped without this had its texture taken along with its context.
    void ReleaseTexture();

  private:
    bool Reserve(std::int32_t width, std::int32_t height, std::int32_t& x, std::int32_t& y);
    bool Grow(std::int32_t minWidth);
    void Copy(const gfx::GlyphBitmap& bitmap, std::int32_t x, std::int32_t y);

    std::int32_t width_, height_;
    std::vector<std::uint8_t> texels_;
    std::unordered_map<char32_t, AtlasGlyph> glyphs_;
    // Shelf packing: glyphs fill a row left to right; the next row starts below the tallest.
    std::int32_t shelfX_ = 0, shelfY_ = 0, shelfHeight_ = 0;

    std::uint32_t texture_ = 0;
    std::int32_t textureWidth_ = 0, textureHeight_ = 0;
    // Rows written since the last upload; empty when dirtyTop_ >= dirtyBottom_.
    std::int32_t dirtyTop_ = 0, dirtyBottom_ = 0;
};

}  // namespace scene
