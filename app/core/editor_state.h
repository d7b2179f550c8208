#pragma once
// The editor's values kept from one frame to the next: the selection, the manipulator modes,
// playback and the key shown, the light, and what a camera, part or light drag captured at its
// press. Tool panels read them and change them between frames through the functions of
// app/core/editor_actions.h. Nothing here is saved but the light, which the Lighting panel
// stores in the settings and start-up reads back; every run starts from these initial values.
// The field names are those the panels and frame steps share.

#include <array>
#include <cstdint>

#include "framework/device/graphics_types.h"
#include "framework/platform/input_source.h"
#include "gfx/math/math_types.h"
#include "model/limits.h"

namespace app {

// The part manipulator's mode. The Handling panel arms one while a part is selected; the part
// drag starts it in its first frame and goes back to kIdle when the left button is up or nothing
// is selected.
enum class HandleMode : std::int8_t { kIdle, kMoveX, kMoveY, kMoveZ, kTurnX, kTurnY, kTurnZ };

// The axis a mode moves along or turns about: 0 = X, 1 = Y, 2 = Z; -1 for kIdle.
constexpr int HandleAxis(HandleMode mode) {
    return mode == HandleMode::kIdle ? -1 : (static_cast<int>(mode) - 1) % 3;
}
constexpr bool IsTurnMode(HandleMode mode) {
    return mode >= HandleMode::kTurnX;
}

// The light drag's mode, armed by the Lighting panel, likewise.
enum class LightDragMode : std::int8_t {
    kIdle,
    kTilt,  // about the light's own X axis
    kTurn,  // about the vertical axis
};

// The angles last typed into the Handling panel for `part`, with the orientation they gave it
// (as the node reads it back). The panel shows them while the part keeps exactly that
// orientation, so that a typed angle reads back as typed rather than as another triple that
// makes the same turn.
struct TypedAngles {
    model::PartIndex part = model::kNoPart;
    gfx::Quat orientation;
    gfx::Vec3 degrees{0.0f, 0.0f, 0.0f};  // about X, Y and Z
};

// How far an armed drag has come: a panel press arms it, the drag's first frame starts it.
enum class DragPhase : std::int8_t { kArmed, kDragging };

// The light of the 3D view: what the drawing hands the device each frame, set at start-up from
// the settings, turned by the light drag and brightened by the Lighting panel's Power.
struct ViewLight {
    gfx::Vec3 direction{1.0f, -1.0f, 1.0f};  // as last set, normalised where it is used
    float power = 0.5f;                      // grey: red = green = blue = power
};

struct EditorState {
    model::PartIndex SelectedPart = model::kNoPart;
    HandleMode Handle = HandleMode::kIdle;
    DragPhase HandlePhase = DragPhase::kArmed;  // back to kArmed whenever Handle goes idle
    // The selected part's manipulator handle under the cursor in the view (kIdle for none): a
    // line stands for its move mode, a ring for its turn mode. A press there starts its drag.
    HandleMode HoveredHandle = HandleMode::kIdle;
    LightDragMode LightDrag = LightDragMode::kIdle;
    DragPhase LightDragPhase = DragPhase::kArmed;  // likewise with LightDrag

    // The Animation panel's Play: playback runs while it is on.
    bool Playing = false;
    std::int16_t PlayKey = -1;  // key being played back, -1 = stopped
    std::int16_t PlayTick = 0;  // frames played within PlayKey
    // The key the Animation panel shows, 1 .. 16: the one Get, Set and the frame count act on.
    int ShownKey = 1;

    TypedAngles HandlingAngles;

    // The 3D view's camera, which the drawing hands the device each frame. The camera drags and
    // the wheel move it; start-up frames it and fits its projection to the view.
    framework::ViewTransforms Camera;
    ViewLight Light;
    // The Lighting panel's Power position, 0 .. 10 (power = position x 0.1): the light drag
    // lights with it and the settings keep it; the light itself takes it when a change ends.
    int LightPowerPosition = 5;

    // Cursor where the current drag started (or was last applied, for turning drags).
    framework::PixelPoint DragAnchor;
    gfx::Vec3 DragStartPosition{0.0f, 0.0f, 0.0f};        // selected part at a move drag's press
    gfx::Vec3 LightDragStartDirection{0.0f, 0.0f, 1.0f};  // light at a light drag's press

    // The point the right-button orbit turns the camera about: the world origin until F frames
    // a part, then that part's centre (the keypad views look at it too).
    gfx::Vec3 OrbitCentre{0.0f, 0.0f, 0.0f};

    // The camera as captured from the view matrix at a camera drag's press.
    gfx::Vec3 CameraEye{0.0f, 0.0f, 0.0f};
    gfx::Vec3 CameraForward{0.0f, 0.0f, 1.0f};
    gfx::Vec3 CameraUp{0.0f, 1.0f, 0.0f};
    gfx::Vec3 CameraRight{1.0f, 0.0f, 0.0f};

    // The pan plane's point under the cursor at the pan's press; PanReversed = 1 when it was
    // found only along the reversed pointer ray.
    gfx::Vec3 PanAnchor{0.0f, 0.0f, 0.0f};
    std::int32_t PanReversed = 0;

    // Each part's pose when the current playback key began.
    std::array<gfx::Quat, model::kMaxParts> PlayFromRotation{};
    std::array<gfx::Vec3, model::kMaxParts> PlayFromPosition{};
};

}  // namespace app
