#pragma once
// Drawing glyph quads straight to the screen: pixel coordinates with the origin at the top-left
// corner, texels one to one on pixels, alpha blended over everything without a depth test. The
// GL state is set up for the draw and put back afterwards, so the device's own state (and what
// it has applied to GL) is as it was.

#include <cstdint>
#include <span>

#include "gfx/math/math_types.h"
#include "scene/overlay_text_atlas.h"

namespace scene {

// A glyph on screen: a rectangle of pixels and the atlas texels that cover it, one to one.
struct GlyphQuad {
    std::int32_t x = 0, y = 0, width = 0, height = 0;  // screen pixels
    std::int32_t u = 0, v = 0;                         // atlas texel under the top-left pixel
    gfx::Colour colour = 0;
};

// One corner of a quad as GL reads it.
struct TextVertex {
    float x = 0, y = 0;
    float u = 0, v = 0;
    gfx::Colour colour = 0;  // packed ARGB: B, G, R, A in memory
};

// Brings the atlas's texture up to date and draws the quads with it, using `corners` (room for
// 4 per quad; extra quads are not drawn) to hand GL the vertices. Needs the context current.
void DrawGlyphQuads(GlyphAtlas& atlas, std::span<const GlyphQuad> quads,
                    std::span<TextVertex> corners, std::int32_t screenWidth,
                    std::int32_t screenHeight);

}  // namespace scene
