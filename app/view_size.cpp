#include "app/view_size.h"

#include "app/editor.h"

namespace app {

bool FollowWindowSize(framework::GraphicsDevice& device, ViewSize pixels) {
    if (pixels.width <= 0 || pixels.height <= 0) return false;
    if (pixels.width == device.ScreenWidth() && pixels.height == device.ScreenHeight()) return true;
    if (device.ResizeBackBuffer(pixels.width, pixels.height) != 1) return false;
    device.transforms.ProjectionMatrix = EditorProjection(pixels.width, pixels.height);
    device.SetTransform(framework::TransformState::kProjection, device.transforms.ProjectionMatrix);
    return true;
}

}  // namespace app
