#pragma once
// The left-button drags armed from the Handling and Lighting panels. A panel sets HandleMode
// (1-6, only while a part is selected) or LightDragMode (1-2) as the button goes down on one of
// its icons; the same press then goes on as the drag: its first frame adds 10 to the mode and
// remembers the press, every later frame applies it for as long as the button stays down,
// wherever the cursor goes. Only the horizontal cursor movement counts. Both steps read the
// unclamped screen cursor of the input record, and a release seen in this poll (state 1) still
// applies the last position once before the mode goes back to 0 in the next frame.

#include "app/core/session.h"
#include "framework/device/graphics_device.h"
#include "framework/platform/input_state.h"

namespace app {

// Per logical pixel of the screen cursor, like the camera's rates (app/steps/camera_control.h): the
// window's size does not change them.
inline constexpr float kPartDragPerPixel = 0.00625f;  // units or radians: 160 pixels make one
inline constexpr float kLightDragRadiansPerPixel = 0.01f;

// A press on one of the Handling panel's icons: arms `mode` (handle_mode::kMoveX .. kTurnZ)
// while a part is selected; with nothing selected HandleMode stays as it is.
void ArmPartDrag(EditorState& state, std::int16_t mode);

// Frame step 2, when HandleMode > 0. The first frame records the selected part's pose for undo
// (once per drag, even one that never moves) and its start position: the stored local position
// with "Local" ticked, the world position otherwise. Moves are absolute from the press: the
// part's own axis (Local) or the world axis times the horizontal distance; below the root the
// local distance is divided by the model's scale. Turns follow the cursor from frame to frame,
// about the part's own axis or about the world axis through its pivot; dragging left turns the
// positive way. The button up in two polls in a row, or no selection, ends the drag.
void DragPart(Session& session, const framework::InputState& input);

// A part or light drag is armed or under way.
bool DragInProgress(const EditorState& state);

// Escape pressed during a drag cancels it, wherever the key went: a part goes back to its pose
// at the press and the drag's undo entry goes with it; the light goes back to its direction at
// the press. Runs before the drag steps; true when a drag was cancelled.
bool CancelDragOnEscape(Session& session, framework::GraphicsDevice& device,
                        const framework::InputState& input);

// Frame step 4, when LightDragMode > 0. The first frame remembers the light's direction; every
// later one sets the light to that direction tilted about its own horizontal axis (mode 11) or
// turned about the world vertical (mode 12) by the horizontal distance from the press, with
// the power read afresh from the Power position. No selection is needed and no undo recorded.
void DragLight(Session& session, framework::GraphicsDevice& device,
               const framework::InputState& input);

}  // namespace app
