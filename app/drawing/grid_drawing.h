#pragma once
// The floor grid and the world axes of the 3D view.

#include "framework/device/graphics_device.h"
#include "gfx/math/math_types.h"

namespace app {

inline constexpr gfx::Colour kGridColour = 0xFF808080;
inline constexpr gfx::Colour kAxisXColour = 0xFFFF0000;
inline constexpr gfx::Colour kAxisYColour = 0xFF00FF00;
inline constexpr gfx::Colour kAxisZColour = 0xFF0000FF;

// 21 lines each way across the floor (y = 0) from -4 to 4 in steps of 0.4, then the world axes
// from the origin, 2 long: Z blue, X red, Y green. The world transform ends as the identity.
void DrawGridAndAxes(framework::GraphicsDevice& device);

}  // namespace app
