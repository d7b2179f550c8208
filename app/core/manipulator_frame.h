#pragma once
// Where the selected part's manipulator stands in the world: the view draws its rings and axis
// lines there, and a press on one of them in the view starts that handle's drag.

#include "editing/part_scene.h"
#include "gfx/math/math_types.h"

namespace app {

// The part's world position, three unit axes and the handle radius.
struct ManipulatorFrame {
    gfx::Vec3 centre;
    gfx::Vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
    float radius = 0;
};

// The radius is the part's bounding-sphere radius, times the root part's scale for any part but
// the root (the root's own scale already counts for the root). Local takes the part's world
// axes, otherwise the world's; either way normalised.
ManipulatorFrame PartManipulatorFrame(const editing::PartScene& scene, int part, bool local);

// The frame's axis 0, 1 or 2 (X, Y, Z).
gfx::Vec3 ManipulatorAxis(const ManipulatorFrame& frame, int axis);

}  // namespace app
