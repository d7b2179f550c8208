#include "app/core/view_size.h"

#include <numbers>

#include "app/core/editor_look.h"
#include "gfx/math/math.h"

namespace app {

gfx::Matrix EditorProjection(int screenWidth, int screenHeight) {
    const float aspect = static_cast<float>(screenWidth) / static_cast<float>(screenHeight);
    return gfx::MatrixPerspectiveFovLH(std::numbers::pi_v<float> / 4.0f, aspect, 0.1f, 10000.0f);
}

bool FollowWindowSize(framework::GraphicsDevice& device, framework::ViewTransforms& camera,
                      ViewSize pixels) {
    if (pixels.width <= 0 || pixels.height <= 0) return false;
    if (pixels.width == device.ScreenWidth() && pixels.height == device.ScreenHeight()) return true;
    if (device.ResizeBackBuffer(pixels.width, pixels.height) != 1) return false;
    camera.ProjectionMatrix = EditorProjection(pixels.width, pixels.height);
    return true;
}

}  // namespace app
