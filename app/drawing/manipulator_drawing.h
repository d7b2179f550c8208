#pragma once
// The manipulator of the selected part (pivot marker, axis rings and axis lines) and the light
// marker, drawn over the parts without depth test.

#include <cstdint>

#include "editing/part_scene.h"
#include "framework/device/graphics_device.h"
#include "gfx/math/math_types.h"

namespace app {

inline constexpr gfx::Colour kMarkerColour = 0xFFFFFF00;  // pivot and light markers, light line
inline constexpr float kPivotMarkerRadius = 0.04f;
inline constexpr float kLightMarkerRadius = 0.05f;
inline constexpr float kLightMarkerDistance = 4.0f;

// Where the manipulator stands and how large it is: the part's world position, three unit axes
// and the handle radius.
struct ManipulatorFrame {
    gfx::Vec3 centre;
    gfx::Vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
    float radius = 0;
};

// The radius is the part's bounding-sphere radius, times the root part's scale for any part but
// the root (the root's own scale already counts for the root). Local takes the part's world
// axes, otherwise the world's; either way normalised.
ManipulatorFrame PartManipulatorFrame(const editing::PartScene& scene, int part, bool local);

// The pivot marker always; then by handle mode: 0 (idle) all three rings and lines; 11, 12, 13
// (moving along X, Y, Z) that axis's line; 14, 15, 16 (turning about X, Y, Z) that axis's ring
// and line; the armed values 1-6 nothing more. Leaves the world transform at the identity or
// the last ring's.
void DrawManipulator(framework::GraphicsDevice& device, const ManipulatorFrame& frame,
                     int handleMode);

// A yellow circle 4 units from the origin on the side the light comes from (against its
// direction), and a line from the origin to it.
void DrawLightMarker(framework::GraphicsDevice& device, gfx::Vec3 lightDirection);

}  // namespace app
