#pragma once
// The editor's 3D view, drawn once per frame: the floor grid and world axes, the onion skin's
// ghosts, every visible part
// (with its silhouette when asked), the selected part's manipulator, the light marker while the
// light is aimed, and two text lines with the selected part's pose. The editor and the headless
// render command both draw through here.

#include <array>
#include <cstdint>
#include <string>

#include "app/core/editor_state.h"
#include "app/core/tool_panels.h"
#include "app/drawing/onion_skin.h"
#include "editing/part_scene.h"
#include "framework/device/graphics_device.h"
#include "gfx/math/math_types.h"
#include "model/part_table.h"
#include "scene/overlay_text.h"
#include "scene/silhouette_pool.h"

namespace app {

inline constexpr gfx::Colour kOutlineColour = 0xFFFF00FF;
inline constexpr gfx::Colour kOverlayTextColour = 0xFFC0C0C0;

// The editor's modes that change what the view shows.
struct FrameModes {
    model::PartIndex selectedPart = model::kNoPart;
    HandleMode handleMode = HandleMode::kIdle;  // the part manipulator's axes follow it
    DragPhase handlePhase = DragPhase::kArmed;
    LightDragMode lightDragMode = LightDragMode::kIdle;  // the light marker shows unless idle
    HandleMode hoveredHandle = HandleMode::kIdle;        // the manipulator handle under the cursor
    OnionKeys onion{};  // the keys drawn as ghosts behind the model (FrameScene::animation's)
};

// What one frame draws with. The device is handed the camera and the light as the frame begins.
struct FrameScene {
    framework::GraphicsDevice& device;
    scene::OverlayFonts& overlay;  // slot 0 holds the editor's overlay font
    const model::PartTable& parts;
    const editing::PartScene& partScene;  // the parts' nodes and meshes
    const PanelValues& panels;
    const framework::ViewTransforms& camera;
    const ViewLight& light;
    const model::AnimationSet* animation = nullptr;  // the onion skin's keys; none draws no ghosts
    // Works out the parts' silhouettes while the frame draws; none works each out on this thread
    // just before its lines are drawn.
    scene::SilhouettePool* silhouettes = nullptr;
};

// The modes of the editor's state.
FrameModes ModesOf(const EditorState& state);

// "POS(x y z)" and "QUAT(x y z, w)", three decimals, of the node's position and orientation.
std::array<std::string, 2> PoseOverlayLines(const scene::TransformNode& node);

// Begins the frame, sets the camera and the light, and draws the whole view; the back buffer then
// holds it, not yet presented. A selection outside the used parts is treated as none.
void DrawFrame(const FrameScene& scene, const FrameModes& modes);

// DrawFrame, then presents the frame.
void RenderFrame(const FrameScene& scene, const FrameModes& modes);

}  // namespace app
