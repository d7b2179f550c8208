#pragma once
// A graphics device on the headless EGL surface, and the D3D-convention screen projection the
// pixel tests use to find where a point lands.

#include <cmath>
#include <cstdint>
#include <vector>

#include "framework/device/graphics_device.h"
#include "framework/platform/egl_surface.h"
#include "gfx/math/math.h"

namespace framework::testing_support {

struct HeadlessDevice {
    HeadlessDevice() : created(device.InitGraphics()) {}

    EglSurface surface;
    GraphicsDevice device{surface};
    bool created;
};

// Screen position of a world point: the viewport maps x in -1..1 to 0..640 and y in 1..-1 to
// 0..480, and the pixel whose centre is nearest (centres lie on whole coordinates) shows it.
struct ScreenPoint {
    float x, y, depth;
    int Column() const { return static_cast<int>(std::lround(x)); }
    int Row() const { return static_cast<int>(std::lround(y)); }
};

inline ScreenPoint Project(gfx::Vec3 world, const gfx::Matrix& view,
                           const gfx::Matrix& projection) {
    const gfx::Vec4 clip = gfx::Vec3Transform(world, gfx::MatrixMultiply(view, projection));
    return {(clip.x / clip.w + 1) / 2 * 640, (1 - clip.y / clip.w) / 2 * 480, clip.z / clip.w};
}

inline std::uint32_t PixelAt(const std::vector<std::uint32_t>& pixels, int x, int y) {
    return pixels.at(static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x));
}

// Bounds of the pixels that differ from the background.
struct Extent {
    int left = 640, top = 480, right = -1, bottom = -1;
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};

inline Extent ExtentOf(const std::vector<std::uint32_t>& pixels, std::uint32_t background) {
    Extent extent;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (PixelAt(pixels, x, y) == background) continue;
            extent.left = std::min(extent.left, x);
            extent.right = std::max(extent.right, x);
            extent.top = std::min(extent.top, y);
            extent.bottom = std::max(extent.bottom, y);
        }
    }
    return extent;
}

}  // namespace framework::testing_support
