#include "scene/overlay_text_draw.h"

#include <algorithm>

#include "framework/device/gl_api.h"

namespace scene {

namespace {

// Saves the GL state the text touches, sets up screen-space textured drawing and restores it
// all on destruction. The device's projection is bypassed altogether: its half-pixel shift
// (which puts pixel centres on whole coordinates) would land glyph texels between pixels.
class ScreenTextState {
  public:
    ScreenTextState(std::int32_t screenWidth, std::int32_t screenHeight) {
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer_);
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_TEXTURE_BIT |
                     GL_TRANSFORM_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT);
        glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT | GL_CLIENT_PIXEL_STORE_BIT);

        // Pixel (x, y), counted from the top-left, covers [x, x + 1] x [y, y + 1].
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, screenWidth, screenHeight, 0, -1, 1);
        glMatrixMode(GL_TEXTURE);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();

        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        glDisable(GL_DEPTH_TEST);
        glDepthMask(GL_FALSE);
        glDisable(GL_CULL_FACE);
        glDisable(GL_FOG);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_STENCIL_TEST);
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_COLOR_LOGIC_OP);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glEnable(GL_BLEND);
        glBlendEquation(GL_FUNC_ADD);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

        glActiveTexture(GL_TEXTURE0);
        glClientActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    ScreenTextState(const ScreenTextState&) = delete;
    ScreenTextState& operator=(const ScreenTextState&) = delete;

    ~ScreenTextState() {
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glMatrixMode(GL_TEXTURE);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer_));
        glPopClientAttrib();
        glPopAttrib();
    }

  private:
    GLint arrayBuffer_ = 0;
};

}  // namespace

void DrawGlyphQuads(GlyphAtlas& atlas, std::span<const GlyphQuad> quads,
                    std::span<TextVertex> corners, std::int32_t screenWidth,
                    std::int32_t screenHeight) {
    const std::size_t count = std::min(quads.size(), corners.size() / 4);
    if (count == 0 || screenWidth <= 0 || screenHeight <= 0) return;

    ScreenTextState state(screenWidth, screenHeight);
    if (atlas.SyncTexture() == 0) return;

    const float texelU = 1.0f / static_cast<float>(atlas.Width());
    const float texelV = 1.0f / static_cast<float>(atlas.Height());
    for (std::size_t i = 0; i < count; ++i) {
        const GlyphQuad& q = quads[i];
        const auto x0 = static_cast<float>(q.x), x1 = static_cast<float>(q.x + q.width);
        const auto y0 = static_cast<float>(q.y), y1 = static_cast<float>(q.y + q.height);
        const float u0 = static_cast<float>(q.u) * texelU;
        const float u1 = static_cast<float>(q.u + q.width) * texelU;
        const float v0 = static_cast<float>(q.v) * texelV;
        const float v1 = static_cast<float>(q.v + q.height) * texelV;
        TextVertex* corner = &corners[4 * i];
        corner[0] = {x0, y0, u0, v0, q.colour};
        corner[1] = {x1, y0, u1, v0, q.colour};
        corner[2] = {x1, y1, u1, v1, q.colour};
        corner[3] = {x0, y1, u0, v1, q.colour};
    }

    constexpr GLsizei kStride = sizeof(TextVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, kStride, &corners[0].x);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, kStride, &corners[0].u);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, kStride, &corners[0].colour);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(4 * count));
}

}  // namespace scene
