#pragma once
// The 3D view's camera, driven by the mouse: the right button orbits it about the orbit centre
// (EditorState::OrbitCentre: the world origin until F frames a part), the middle button pans it
// so that the grabbed point follows the cursor, the wheel moves it along its viewing direction.
// Besides ViewMatrix the camera keeps only that centre: a drag captures the camera at its press
// and rebuilds the view from that capture every held frame, so a drag is absolute relative to
// its press point and holding still changes nothing.

#include "app/core/session.h"
#include "app/steps/view_geometry.h"
#include "framework/platform/input_state.h"

namespace app {

// Drag rates count logical pixels of cursor travel, whatever the view's size or device pixel
// ratio: the hand moves the same distance for the same turn in any window, so a bigger window
// neither speeds a drag up nor slows it down (rates per fraction of the view would make the same
// hand movement turn less the larger the window). Panning needs no rate: the grabbed point
// follows the cursor at any size.
inline constexpr float kOrbitRadiansPerPixel = 0.008333334f;  // 120 pixels make one radian
inline constexpr float kPanRayHalfLength = 10000.0f;
inline constexpr float kDollyPerWheelUnit = 0.0025f;  // a 120 notch moves 0.3 units

// Right button pressed: remembers the cursor and captures the camera.
void StartOrbit(EditorState& state, const ClientView& view, framework::PixelPoint cursor);
// Right button held: the captured camera turned about the captured right axis through the
// orbit centre by the vertical drag, then about the vertical axis through it by the horizontal
// drag.
void Orbit(Session& session, const ClientView& view, framework::PixelPoint cursor);

// Middle button pressed: sets the pan plane facing the camera through the pointer line's point
// nearest the origin, and remembers where the pointer meets it.
void StartPan(Session& session, const ClientView& view, framework::PixelPoint cursor);
// Middle button held: moves the captured camera so that the plane point under the cursor is
// the one grabbed at the press.
void Pan(Session& session, const ClientView& view, framework::PixelPoint cursor);

// Moves the camera along its viewing direction by wheel * kDollyPerWheelUnit.
void Dolly(framework::ViewTransforms& transforms, int wheel);

// The camera cases of the mouse-button chain, first that applies: right pressed, right held,
// middle pressed, middle held. True when one of them ran (the buttons are then used up for this
// frame).
bool HandleCameraButtons(Session& session, const ClientView& view,
                         const framework::InputState& input);

}  // namespace app
