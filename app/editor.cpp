#include "app/editor.h"

#include <numbers>

#include "app/grid_drawing.h"
#include "app/view_framing.h"
#include "files/window_placement.h"
#include "gfx/math.h"

namespace app {

namespace {
using framework::RenderState;
using framework::TransformState;
}  // namespace

gfx::Matrix EditorProjection(int screenWidth, int screenHeight) {
    const float aspect = static_cast<float>(screenWidth) / static_cast<float>(screenHeight);
    return gfx::MatrixPerspectiveFovLH(std::numbers::pi_v<float> / 4.0f, aspect, 0.1f, 10000.0f);
}

void Editor::Startup() {
    window_.SetTitle(kMainWindowTitle);
    // The device already holds this projection; the editor's copy serves its pointer ray.
    device_.transforms.ProjectionMatrix =
        EditorProjection(device_.ScreenWidth(), device_.ScreenHeight());

    // A failed box leaves the plane without a mesh: panning then finds nothing to grab.
    session_.panPlaneMesh.CreateBox(10000.0f, 10000.0f, 0.0001f, {1.0f, 1.0f, 0.0f, 1.0f});
    session_.panPlane.Bind(session_.panPlaneMesh, {0.0f, 0.0f, 0.0f}, 1.0f);

    FrameView(device_.transforms, nullptr);
    files::RestoreWindowPosition(window_, settings_, kMainWindowSection, window_.Screens());
    overlay_.Create(0, kOverlayFace, kOverlayHeight, kOverlayWeight);

    session_.model.ResetRebuildPose();
    session_.model.animation.ClearAnimation();
}

void Editor::DrawView() {
    device_.BeginFrame(kBackgroundColour);  // drawn regardless: nothing shows without a frame
    device_.SetRenderState(RenderState::kAlphaBlendEnable, 0);
    device_.SetRenderState(RenderState::kLighting, 0);
    device_.SetTexture(0, nullptr);
    device_.SetTransform(TransformState::kWorld, device_.transforms.IdentityMatrix);
    if (panels_.GridTicked()) DrawGridAndAxes(device_);
    device_.SetRenderState(RenderState::kZEnable, 1);
    // The parts come here. What follows leaves the states the next frame's drawing starts from.
    device_.SetRenderState(RenderState::kLighting, 1);
    device_.SetRenderState(RenderState::kZEnable, 1);
    device_.SetRenderState(RenderState::kZWriteEnable, 1);
}

void Editor::Frame() {
    DrawView();
    device_.EndFrame();
}

void Editor::Shutdown() {
    files::SaveWindowPosition(window_, settings_, kMainWindowSection);
}

}  // namespace app
