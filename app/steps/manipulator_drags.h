#pragma once
// The left-button drags armed from the Handling and Lighting panels. A panel arms a handle mode
// (only while a part is selected) or a light drag mode as the button goes down on one of its
// icons (app/core/editor_actions.h); the same press then goes on as the drag: its first frame
// starts it (DragPhase::kDragging) and remembers the press, every later frame applies it for as
// long as the button stays down, wherever the cursor goes. Only the horizontal cursor movement
// counts. Both steps read the unclamped screen cursor of the input record, and a release seen in
// this poll still applies the last position once before the mode goes back to idle in the next
// frame.

#include "app/core/editor_actions.h"
#include "app/core/session.h"
#include "framework/platform/input_state.h"

namespace app {

// Per logical pixel of the screen cursor, like the camera's rates (app/steps/camera_control.h): the
// window's size does not change them.
inline constexpr float kPartDragPerPixel = 0.00625f;  // units or radians: 160 pixels make one
inline constexpr float kLightDragRadiansPerPixel = 0.01f;

// Frame step 2, when a handle mode is armed or under way. The first frame records the selected
// part's pose for undo (once per drag, even one that never moves) and its start position: the
// stored local position with "Local" ticked, the world position otherwise. Moves are absolute from
// the press: the part's own axis (Local) or the world axis times the horizontal distance; below the
// root the local distance is divided by the model's scale. Turns follow the cursor from frame to
// frame, about the part's own axis or about the world axis through its pivot; dragging left turns
// the positive way. The button up in two polls in a row, or no selection, ends the drag.
void DragPart(Session& session, const framework::InputState& input);

// A part or light drag is armed or under way.
bool DragInProgress(const EditorState& state);

// Escape pressed during a drag cancels it, wherever the key went: a part goes back to its pose
// at the press and the drag's undo entry goes with it; the light goes back to its direction at
// the press. Runs before the drag steps; true when a drag was cancelled.
bool CancelDragOnEscape(Session& session, const framework::InputState& input);

// Frame step 4, when a light drag mode is armed or under way. The first frame remembers the
// light's direction; every later one sets the light to that direction tilted about its own
// horizontal axis (kTilt) or turned about the world vertical (kTurn) by the horizontal distance
// from the press, with the power read afresh from the Power position. No selection is needed
// and no undo recorded.
void DragLight(Session& session, const framework::InputState& input);

}  // namespace app
