// The device's copies of the texture cache's textures: one GL texture each, every mip level
// given, point-sampled (nearest texel of the nearest level), wrapping.

#include "framework/device/gl_api.h"
#include "framework/device/graphics_device.h"

namespace framework {

namespace {

// Levels that form a proper chain: each max(1, half) the size of the one before, with a texel
// for every position. The count of leading levels that do; 0 when level 0 does not.
std::size_t UsableLevels(const gfx::Texture& texture, std::uint32_t maxSize) {
    std::size_t usable = 0;
    std::uint32_t width = 0, height = 0;
    for (const gfx::Image& level : texture.levels) {
        if (usable == 0) {
            if (level.width == 0 || level.height == 0 || level.width > maxSize ||
                level.height > maxSize) {
                return 0;
            }
        } else if (level.width != std::max(1u, width / 2) ||
                   level.height != std::max(1u, height / 2)) {
            break;
        }
        if (level.texels.size() != std::size_t{level.width} * level.height) break;
        width = level.width;
        height = level.height;
        ++usable;
    }
    return usable;
}

}  // namespace

std::uint32_t GraphicsDevice::Upload(const gfx::Texture& texture) {
    if (!created_) return 0;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const std::size_t levels = UsableLevels(texture, static_cast<std::uint32_t>(maxSize));
    if (levels == 0) return 0;

    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    for (std::size_t i = 0; i < levels; ++i) {
        const gfx::Image& level = texture.levels[i];
        // Packed ARGB words: BGRA with the reversed 8-bit packing puts alpha in the top byte.
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), GL_RGBA8,
                     static_cast<GLsizei>(level.width), static_cast<GLsizei>(level.height), 0,
                     GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, level.texels.data());
    }
    const bool failed = glGetError() != GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, boundTexture_);
    if (failed) {
        glDeleteTextures(1, &name);
        return 0;
    }
    textures_.insert(name);
    return name;
}

void GraphicsDevice::Free(std::uint32_t handle) {
    if (!created_ || textures_.erase(handle) == 0) return;
    glDeleteTextures(1, &handle);
    if (boundTexture_ == handle) SetTexture(0, nullptr);
}

}  // namespace framework
