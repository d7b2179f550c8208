#include "app/drawing/grid_drawing.h"

#include "gfx/math/math.h"
#include "scene/draw_primitives.h"

namespace app {

void DrawGridAndAxes(framework::GraphicsDevice& device) {
    for (int i = 0; i <= 20; ++i) {
        const float v = static_cast<float>(i) * 0.4f - 4.0f;
        scene::DrawLine(device, {v, 0.0f, -4.0f}, {v, 0.0f, 4.0f}, kGridColour);
        scene::DrawLine(device, {-4.0f, 0.0f, v}, {4.0f, 0.0f, v}, kGridColour);
    }
    device.SetTransform(framework::TransformState::kWorld, gfx::MatrixIdentity());
    const gfx::Vec3 origin{0.0f, 0.0f, 0.0f};
    scene::DrawLine(device, origin, {0.0f, 0.0f, 2.0f}, kAxisZColour);
    scene::DrawLine(device, origin, {2.0f, 0.0f, 0.0f}, kAxisXColour);
    scene::DrawLine(device, origin, {0.0f, 2.0f, 0.0f}, kAxisYColour);
}

}  // namespace app
