#pragma once
// The camera moves the keyboard asks for: framing the selected part (or the whole model) and
// looking at the orbit centre along one of the six axis directions. Both keep the orbit centre
// (EditorState::OrbitCentre) as the point the camera looks at, so that a right-button orbit
// afterwards turns about what is on show.

#include <optional>

#include "app/core/session.h"
#include "scene/transform_node.h"

namespace app {

// A framed part's bounding sphere fills this share of the view's height (of its width when the
// view is taller than wide).
inline constexpr float kFramedShare = 2.0f / 3.0f;

// The world-space sphere around the selected part, or around every part ticked in the Part
// panel when none is selected: each mesh's own sphere carried through its node's world matrix.
// None when no loaded mesh is concerned or a pose is not finite.
std::optional<scene::Sphere> FramedSphere(const Session& session);

// Keeps the camera's direction and up, and moves it so that it looks at the sphere's centre from
// the distance at which the sphere fills kFramedShare of the view (never nearer than the near
// plane allows); the centre becomes the orbit centre.
void FrameSphere(EditorState& state, scene::Sphere sphere);

// F: frames FramedSphere. False, the camera untouched, when there is nothing to frame.
bool FrameParts(Session& session);

// The six axis views. Front looks from where the editor's first camera stands (+Z, looking
// towards -Z); right and left are the screen's right and left as seen from the front; top looks
// down with the front at the bottom of the view, bottom up with the front at its top.
enum class ViewSide { kFront, kBack, kRight, kLeft, kTop, kBottom };

// The direction from the orbit centre to the eye for a side, and the view's up.
struct SideDirections {
    gfx::Vec3 toEye;
    gfx::Vec3 up;
};
SideDirections DirectionsOf(ViewSide side);

// Looks at the orbit centre from `side`, at the eye's present distance from it.
void LookFromSide(EditorState& state, ViewSide side);

}  // namespace app
