#pragma once
// The selected part's manipulator in the view as the pointer meets it: which axis line or ring
// lies under the cursor, so that a press there starts the same drag as the matching Handling
// picture and the handle can be highlighted before the press.

#include "app/core/editor_state.h"
#include "app/core/manipulator_frame.h"
#include "app/core/session.h"
#include "app/steps/view_geometry.h"

namespace app {

// A handle counts as under the cursor within this many client pixels of its drawn line.
inline constexpr float kHandleReachPixels = 6.0f;
// Around the pivot every line and ring meets (and an axis seen end-on is a dot), a press picks
// as it does without a manipulator.
inline constexpr float kPivotClearPixels = 10.0f;

// The handle drawn nearest the cursor within reach: an axis line as its move mode, a ring as its
// turn mode; kIdle when none is in reach, or when the cursor is within kPivotClearPixels of the
// pivot. Parts of a handle behind the camera never count.
HandleMode HandleUnderCursor(const ManipulatorFrame& frame, const ClientView& view,
                             framework::PixelPoint cursor);

// The handle under the cursor for the selected, visible part (kIdle without one).
HandleMode SelectedPartHandleUnderCursor(const Session& session, const ClientView& view,
                                         framework::PixelPoint cursor);

}  // namespace app
