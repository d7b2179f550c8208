#include "app/drawing/frame_rendering.h"

#include <cstdio>

#include "app/core/editor_look.h"
#include "app/core/fixed_text.h"
#include "app/core/stored_light.h"
#include "app/drawing/grid_drawing.h"
#include "app/drawing/manipulator_drawing.h"
#include "gfx/math/math.h"
#include "scene/draw_primitives.h"
#include "scene/mesh_object.h"
#include "scene/silhouette_pool.h"

namespace app {

namespace {

using framework::RenderState;
using framework::TransformState;

constexpr std::int32_t kOverlayLeft = 4;
constexpr std::int32_t kOverlayFirstTop = 2;
constexpr std::int32_t kOverlaySecondTop = 14;

void ResetWorld(framework::GraphicsDevice& device) {
    device.SetTransform(TransformState::kWorld, gfx::MatrixIdentity());
}

// Unlit, untextured, without depth test: drawn over whatever is there.
void BeginMarkers(framework::GraphicsDevice& device) {
    ResetWorld(device);
    device.SetTexture(0, nullptr);
    device.SetRenderState(RenderState::kLighting, 0);
    device.SetRenderState(RenderState::kZEnable, 0);
}

using SilhouetteNeed = scene::MeshObject::SilhouetteNeed;
using SilhouetteNeeds = std::array<SilhouetteNeed, model::kMaxParts>;

scene::MeshObject* DrawnMesh(const FrameScene& scene, int part) {
    const scene::TransformNode& node = scene.partScene.node[static_cast<std::size_t>(part)];
    return node.mesh != nullptr && node.bound == 1 ? node.mesh : nullptr;
}

// Which visible parts draw an outline, and whether each one's silhouette must be worked out; the
// pool (when there is one) starts on those at once, in part order.
SilhouetteNeeds StartSilhouettes(const FrameScene& scene) {
    SilhouetteNeeds needs{};
    const gfx::Matrix& view = scene.device.GetTransform(TransformState::kView);
    const gfx::Matrix& projection = scene.device.GetTransform(TransformState::kProjection);
    for (int i = 0; i < scene.parts.count; ++i) {
        scene::MeshObject* mesh = DrawnMesh(scene, i);
        if (mesh == nullptr || !scene.panels.IsPartVisible(i)) continue;
        const auto part = static_cast<std::size_t>(i);
        needs[part] =
            mesh->PrepareSilhouette(scene.partScene.node[part].WorldMatrix(), view, projection);
        if (needs[part] == SilhouetteNeed::kWork && scene.silhouettes != nullptr) {
            scene.silhouettes->Add(*mesh);
        }
    }
    if (scene.silhouettes != nullptr) scene.silhouettes->Start();
    return needs;
}

// `needs` is StartSilhouettes's answer when the outline is on.
void DrawParts(const FrameScene& scene, const FrameModes& modes, const SilhouetteNeeds& needs) {
    framework::GraphicsDevice& device = scene.device;
    const bool outline = scene.panels.outlineTicked;
    std::size_t worked = 0;  // the pool's place of the next part worked out there
    for (int i = 0; i < scene.parts.count; ++i) {
        device.SetRenderState(RenderState::kZWriteEnable, 1);
        device.SetRenderState(RenderState::kLighting, 1);
        if (scene.panels.IsPartVisible(i)) {
            device.SetRenderState(RenderState::kAlphaBlendEnable, 0);
            scene.partScene.node[i].Draw(device, false, 0);
            const SilhouetteNeed need = needs[static_cast<std::size_t>(i)];
            if (need == SilhouetteNeed::kWork) {
                if (scene.silhouettes != nullptr) {
                    scene.silhouettes->Wait(worked++);
                } else {
                    DrawnMesh(scene, i)->WorkOutSilhouette();
                }
            }
            if (need != SilhouetteNeed::kNone)
                DrawnMesh(scene, i)->DrawSilhouette(device, kOutlineColour);
        }
        // Blending stays on for the manipulator and for the next part's outline and text.
        device.SetRenderState(RenderState::kAlphaBlendEnable, 1);
        device.SetRenderState(RenderState::kSrcBlend, framework::kBlendSrcAlpha);
        device.SetRenderState(RenderState::kDestBlend, framework::kBlendInvSrcAlpha);
        if (i != modes.selectedPart) continue;
        // Right after its part: parts drawn later may still cover it where they are nearer.
        BeginMarkers(device);
        DrawManipulator(device,
                        PartManipulatorFrame(scene.partScene, i, scene.panels.handlingLocal),
                        modes.handleMode, modes.handlePhase, modes.hoveredHandle);
        device.SetRenderState(RenderState::kZEnable, 1);
        device.SetRenderState(RenderState::kLighting, 1);
    }
    if (outline && scene.silhouettes != nullptr) scene.silhouettes->Finish();
}

void DrawPoseText(const FrameScene& scene, int part) {
    const auto lines = PoseOverlayLines(scene.partScene.node[part]);
    scene.overlay.Begin();
    scene.overlay.Draw(kOverlayLeft, kOverlayFirstTop, lines[0], kOverlayHeight,
                       kOverlayTextColour);
    scene.overlay.Draw(kOverlayLeft, kOverlaySecondTop, lines[1], kOverlayHeight,
                       kOverlayTextColour);
    scene.overlay.End();
}

}  // namespace

FrameModes ModesOf(const EditorState& state) {
    FrameModes modes;
    modes.selectedPart = state.SelectedPart;
    modes.handleMode = state.Handle;
    modes.handlePhase = state.HandlePhase;
    modes.hoveredHandle = state.HoveredHandle;
    modes.lightDragMode = state.LightDrag;
    return modes;
}

std::array<std::string, 2> PoseOverlayLines(const scene::TransformNode& node) {
    const gfx::Vec3 p = node.GetPosition();
    const gfx::Quat q = node.GetOrientation();
    // "%.3f" in the "C" locale: a German desktop must not turn the points into commas.
    const auto f = [](float value) { return FixedText(value, 3); };
    return {"POS(" + f(p.x) + " " + f(p.y) + " " + f(p.z) + ")",
            "QUAT(" + f(q.x) + " " + f(q.y) + " " + f(q.z) + ", " + f(q.w) + ")"};
}

void DrawFrame(const FrameScene& scene, const FrameModes& requested) {
    framework::GraphicsDevice& device = scene.device;
    FrameModes modes = requested;
    if (modes.selectedPart >= scene.parts.count) modes.selectedPart = model::kNoPart;

    device.BeginFrame(kBackgroundColour);  // drawn regardless: nothing shows without a frame
    device.SetTransform(TransformState::kView, scene.camera.ViewMatrix);
    device.SetTransform(TransformState::kProjection, scene.camera.ProjectionMatrix);
    const float power = scene.light.power;
    scene::SetDirectionalLight(device, scene.light.direction, power, power, power, 0.0f);
    // The silhouettes are worked out while the grid, the ghosts and the parts are drawn.
    const SilhouetteNeeds needs =
        scene.panels.outlineTicked ? StartSilhouettes(scene) : SilhouetteNeeds{};
    device.SetRenderState(RenderState::kAlphaBlendEnable, 0);
    device.SetRenderState(RenderState::kLighting, 0);
    device.SetTexture(0, nullptr);
    ResetWorld(device);
    if (scene.panels.gridTicked) DrawGridAndAxes(device);
    device.SetRenderState(RenderState::kZEnable, 1);
    if (scene.animation != nullptr) {
        DrawOnionSkin(device, scene.parts, scene.partScene, scene.panels, *scene.animation,
                      modes.onion);
    }

    DrawParts(scene, modes, needs);

    if (modes.lightDragMode != LightDragMode::kIdle) {
        BeginMarkers(device);
        DrawLightMarker(device, LightDirection(scene.light));
    }
    device.SetRenderState(RenderState::kLighting, 1);
    device.SetRenderState(RenderState::kZEnable, 1);
    device.SetRenderState(RenderState::kZWriteEnable, 1);

    if (modes.selectedPart >= 0) DrawPoseText(scene, modes.selectedPart);
}

void RenderFrame(const FrameScene& scene, const FrameModes& modes) {
    DrawFrame(scene, modes);
    scene.device.EndFrame();
}

}  // namespace app
