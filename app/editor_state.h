#pragma once
// The editor's values kept from one frame to the next: the selection, the manipulator modes,
// playback, and what a camera, part or light drag captured at its press. Tool panels read and
// write some of them between frames. Nothing here is saved: every run starts from these initial
// values. The field names are those the panels and frame steps share.

#include <array>
#include <cstdint>

#include "framework/platform/input_source.h"
#include "gfx/math_types.h"
#include "model/limits.h"

namespace app {

struct EditorState {
    model::PartIndex SelectedPart = model::kNoPart;
    // 0 idle; 1-3 move along X, Y, Z and 4-6 turn about X, Y, Z, armed by the Handling panel;
    // the armed value + 10 while dragging.
    std::int16_t HandleMode = 0;
    // 0 idle; 1 tilt, 2 turn, armed by the Lighting panel; + 10 while dragging.
    std::int16_t LightDragMode = 0;
    std::int16_t PlayKey = -1;  // key being played back, -1 = stopped
    std::int16_t PlayTick = 0;  // frames played within PlayKey

    // Cursor where the current drag started (or was last applied, for turning drags).
    framework::PixelPoint DragAnchor;
    gfx::Vec3 DragStartPosition{0.0f, 0.0f, 0.0f};        // selected part at a move drag's press
    gfx::Vec3 LightDragStartDirection{0.0f, 0.0f, 1.0f};  // light at a light drag's press

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
