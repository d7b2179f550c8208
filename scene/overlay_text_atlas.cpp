#include "scene/overlay_text_atlas.h"

#include <algorithm>
#include <cstring>

#include "framework/device/gl_api.h"

namespace scene {

namespace {

// An empty texel between neighbours, so that no glyph ever borders another.
constexpr std::int32_t kPadding = 1;

}  // namespace

GlyphAtlas::GlyphAtlas()
    : width_(kInitialSize),
      height_(kInitialSize),
      texels_(static_cast<std::size_t>(kInitialSize) * kInitialSize, 0) {}

const AtlasGlyph* GlyphAtlas::Place(char32_t character, const gfx::GlyphBitmap& bitmap) {
    if (const auto found = glyphs_.find(character); found != glyphs_.end()) return &found->second;

    AtlasGlyph glyph;
    const bool hasTexels = bitmap.width > 0 && bitmap.rows > 0 &&
                           bitmap.coverage.size() == std::size_t{bitmap.width} * bitmap.rows;
    if (hasTexels) {
        if (bitmap.width > kMaxSize || bitmap.rows > kMaxSize) return nullptr;
        glyph.width = static_cast<std::int32_t>(bitmap.width);
        glyph.height = static_cast<std::int32_t>(bitmap.rows);
        if (!Reserve(glyph.width + kPadding, glyph.height + kPadding, glyph.x, glyph.y)) {
            return nullptr;
        }
        Copy(bitmap, glyph.x, glyph.y);
    }
    return &glyphs_.emplace(character, glyph).first->second;
}

bool GlyphAtlas::Reserve(std::int32_t width, std::int32_t height, std::int32_t& x,
                         std::int32_t& y) {
    for (;;) {
        const bool fitsAcross = shelfX_ + width <= width_;
        if (fitsAcross && shelfY_ + height <= height_) {
            x = shelfX_;
            y = shelfY_;
            shelfX_ += width;
            shelfHeight_ = std::max(shelfHeight_, height);
            return true;
        }
        if (!fitsAcross && shelfX_ > 0 && width <= width_) {
            shelfY_ += shelfHeight_;
            shelfX_ = 0;
            shelfHeight_ = 0;
            continue;
        }
        if (!Grow(width)) return false;
    }
}

// Doubles the height, or the width when the glyph is wider than the atlas or the height is at
// its limit. Texels keep their positions, so placed glyphs stay valid.
bool GlyphAtlas::Grow(std::int32_t minWidth) {
    std::int32_t width = width_, height = height_;
    if (minWidth > width_) {
        while (width < minWidth) width *= 2;
    } else if (height_ < kMaxSize) {
        height *= 2;
    } else {
        width *= 2;
    }
    if (width > kMaxSize || height > kMaxSize) return false;

    std::vector<std::uint8_t> grown(static_cast<std::size_t>(width) * height, 0);
    for (std::int32_t row = 0; row < height_; ++row) {
        std::memcpy(&grown[static_cast<std::size_t>(row) * width],
                    &texels_[static_cast<std::size_t>(row) * width_], width_);
    }
    texels_ = std::move(grown);
    width_ = width;
    height_ = height;
    return true;
}

void GlyphAtlas::Copy(const gfx::GlyphBitmap& bitmap, std::int32_t x, std::int32_t y) {
    for (std::uint32_t row = 0; row < bitmap.rows; ++row) {
        std::memcpy(&texels_[static_cast<std::size_t>(y + static_cast<std::int32_t>(row)) * width_ +
                             static_cast<std::size_t>(x)],
                    &bitmap.coverage[std::size_t{row} * bitmap.width], bitmap.width);
    }
    const std::int32_t bottom = y + static_cast<std::int32_t>(bitmap.rows);
    if (dirtyTop_ >= dirtyBottom_) {
        dirtyTop_ = y;
        dirtyBottom_ = bottom;
    } else {
        dirtyTop_ = std::min(dirtyTop_, y);
        dirtyBottom_ = std::max(dirtyBottom_, bottom);
    }
}

std::uint32_t GlyphAtlas::SyncTexture() {
    while (glGetError() != GL_NO_ERROR) {
    }
    if (texture_ == 0) {
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        // Texels map one to one onto pixels: point sampling, and never a wrapped neighbour.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    } else {
        glBindTexture(GL_TEXTURE_2D, texture_);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    if (textureWidth_ != width_ || textureHeight_ != height_) {
        // Coverage becomes alpha; modulated with the vertex colour it gives the text colour.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, width_, height_, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                     texels_.data());
        textureWidth_ = width_;
        textureHeight_ = height_;
    } else if (dirtyTop_ < dirtyBottom_) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, dirtyTop_, width_, dirtyBottom_ - dirtyTop_, GL_ALPHA,
                        GL_UNSIGNED_BYTE, &texels_[static_cast<std::size_t>(dirtyTop_) * width_]);
    }
    dirtyTop_ = dirtyBottom_ = 0;
    if (glGetError() != GL_NO_ERROR) {
        ReleaseTexture();
        return 0;
    }
    return texture_;
}

void GlyphAtlas::ReleaseTexture() {
    if (texture_ != 0) glDeleteTextures(1, &texture_);
    texture_ = 0;
    textureWidth_ = textureHeight_ = 0;
}

}  // namespace scene
