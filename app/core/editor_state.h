#pragma once
// The editor's values kept from one frame to the next: the selection, the manipulator modes,
// playback, and what a camera, part or light drag captured at its press. Tool panels read and
// write some of them between frames. Nothing here is saved: every run starts from these initial
// values. The field names are those the panels and frame steps share.

#include <array>
#include <cstdint>

#include "framework/platform/input_source.h"
#include "gfx/math/math_types.h"
#include "model/limits.h"

namespace app {

// The values of EditorState::HandleMode. The Handling panel arms a mode (1-6) while a part is
// selected; the part drag adds kDragging when it starts (11-16) and goes back to kIdle when the
// left button is up or nothing is selected.
namespace handle_mode {
inline constexpr std::int16_t kIdle = 0;
inline constexpr std::int16_t kMoveX = 1;
inline constexpr std::int16_t kMoveY = 2;
inline constexpr std::int16_t kMoveZ = 3;
inline constexpr std::int16_t kTurnX = 4;
inline constexpr std::int16_t kTurnY = 5;
inline constexpr std::int16_t kTurnZ = 6;
inline constexpr std::int16_t kDragging = 10;  // added to the armed value while dragging
inline constexpr std::int16_t kDragMoveX = kMoveX + kDragging;
inline constexpr std::int16_t kDragMoveY = kMoveY + kDragging;
inline constexpr std::int16_t kDragMoveZ = kMoveZ + kDragging;
inline constexpr std::int16_t kDragTurnX = kTurnX + kDragging;
inline constexpr std::int16_t kDragTurnY = kTurnY + kDragging;
inline constexpr std::int16_t kDragTurnZ = kTurnZ + kDragging;
}  // namespace handle_mode

// The values of EditorState::LightDragMode, armed by the Lighting panel, likewise.
namespace light_drag_mode {
inline constexpr std::int16_t kIdle = 0;
inline constexpr std::int16_t kTilt = 1;  // about the light's own X axis
inline constexpr std::int16_t kTurn = 2;  // about the vertical axis
inline constexpr std::int16_t kDragging = 10;
inline constexpr std::int16_t kDragTilt = kTilt + kDragging;
inline constexpr std::int16_t kDragTurn = kTurn + kDragging;
}  // namespace light_drag_mode

struct EditorState {
    model::PartIndex SelectedPart = model::kNoPart;
    std::int16_t HandleMode = handle_mode::kIdle;         // see handle_mode
    std::int16_t LightDragMode = light_drag_mode::kIdle;  // see light_drag_mode
    std::int16_t PlayKey = -1;                            // key being played back, -1 = stopped
    std::int16_t PlayTick = 0;                            // frames played within PlayKey

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
