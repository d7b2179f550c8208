#pragma once
// The input half of the editor's frame. The frame runs, in this order:
//   1. camera and picking input (here), only while the main window is active: one of
//      right-button orbit, middle-button pan or left-button pick, then the wheel;
//   2. Escape pressed during a part or light drag cancels it; then the part manipulator drag,
//      when a handle mode is armed or under way;
//   3. playback, while Play is on;
//   4. the light manipulator drag, when a light drag mode is armed or under way;
//   5. drawing and presenting the frame.
// Steps 2 (app/steps/manipulator_drags.h), 3 (app/steps/playback.h) and 4 run after this one in
// HandleFrameInput. Playback comes after the part drag, so a part dragged while the animation
// plays keeps the pose playback gives it.

#include "app/core/session.h"
#include "app/core/view_size.h"
#include "app/steps/part_picking.h"
#include "app/steps/view_geometry.h"
#include "framework/platform/input_state.h"

namespace app {

// Step 1. Does nothing while the window is inactive, so clicks in a tool panel never move the
// camera or pick. Picking reads the parts' visibility from the session's panel values and tells
// the session's panel observer.
void HandleCameraAndPicking(Session& session, const ClientView& view,
                            const framework::InputState& input, bool windowActive);

// Steps 1 to 4 in their order, on the session's camera and light; `client` is the view's size in
// the cursor's pixels (the main window's logical client size).
void HandleFrameInput(Session& session, const framework::InputState& input, bool windowActive,
                      ViewSize client);

}  // namespace app
