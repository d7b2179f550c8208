// One frame of the editor's grid on the headless device: clear, 42 grid lines and three axes
// drawn from stack vertices, present (which waits for the frame to finish).

#include <benchmark/benchmark.h>

#include "framework/debug_log.h"
#include "framework/device/graphics_device.h"
#include "framework/platform/egl_surface.h"
#include "gfx/math/math.h"
#include "scene/draw_primitives.h"

namespace {

void BM_GridFrame(benchmark::State& state) {
    framework::ProcessLog().Discard();
    framework::EglSurface surface;
    framework::GraphicsDevice device(surface);
    if (!device.InitGraphics()) {
        state.SkipWithError("no headless GL device");
        return;
    }
    framework::ViewTransforms camera;
    scene::SetView(camera, {3, 4, -6}, {0, 0, 0}, {0, 1, 0});
    for (auto _ : state) {
        device.BeginFrame(0xFF18415A);
        device.SetTransform(framework::TransformState::kView, camera.ViewMatrix);
        device.SetRenderState(framework::RenderState::kLighting, 0);
        device.SetTransform(framework::TransformState::kWorld, gfx::MatrixIdentity());
        for (int i = 0; i <= 20; ++i) {
            const float v = static_cast<float>(i) * 0.4f - 4.0f;
            scene::DrawLine(device, {v, 0, -4}, {v, 0, 4}, 0xFF808080);
            scene::DrawLine(device, {-4, 0, v}, {4, 0, v}, 0xFF808080);
        }
        scene::DrawLine(device, {0, 0, 0}, {0, 0, 2}, 0xFF0000FF);
        scene::DrawLine(device, {0, 0, 0}, {2, 0, 0}, 0xFFFF0000);
        scene::DrawLine(device, {0, 0, 0}, {0, 2, 0}, 0xFF00FF00);
        device.EndFrame();
    }
    device.FreeGraphics();
}
BENCHMARK(BM_GridFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
