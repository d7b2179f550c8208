#pragma once
// The manipulator of the selected part (pivot marker, axis rings and axis lines) and the light
// marker, drawn over the parts without depth test.

#include <cstdint>

#include "app/core/editor_state.h"
#include "app/core/manipulator_frame.h"
#include "editing/part_scene.h"
#include "framework/device/graphics_device.h"
#include "gfx/math/math_types.h"

namespace app {

inline constexpr gfx::Colour kMarkerColour = 0xFFFFFF00;  // pivot and light markers, light line
inline constexpr float kPivotMarkerRadius = 0.04f;
inline constexpr float kLightMarkerRadius = 0.05f;
inline constexpr float kLightMarkerDistance = 4.0f;

// The handle under the cursor, drawn in this colour in place of its axis colour.
inline constexpr gfx::Colour kHoveredHandleColour = 0xFFFFFF00;

// The pivot marker always; then by handle mode: idle, all three rings and lines, the `hovered`
// one (a move mode for a line, a turn mode for a ring) in the hover colour; a move drag under
// way, its axis's line; a turn drag under way, its axis's ring and line; an armed mode nothing
// more. Leaves the world transform at the identity or the last ring's.
void DrawManipulator(framework::GraphicsDevice& device, const ManipulatorFrame& frame,
                     HandleMode mode, DragPhase phase, HandleMode hovered = HandleMode::kIdle);

// A yellow circle 4 units from the origin on the side the light comes from (against its
// direction), and a line from the origin to it.
void DrawLightMarker(framework::GraphicsDevice& device, gfx::Vec3 lightDirection);

}  // namespace app
