#pragma once
// Immediate-mode helpers for everything the editor draws that is not a mesh: coloured lines,
// circles facing the camera and rings about an axis (36 segments each, from vertices on the
// stack); and setting the directional light 0 and a camera's view matrix. Drawing goes into the
// frame the device has begun.

#include <array>

#include "framework/device/graphics_device.h"
#include "gfx/math/math_types.h"

namespace scene {

// Vertex format XYZ | DIFFUSE, 16 bytes.
struct LineVertex {
    float x = 0, y = 0, z = 0;
    gfx::Colour colour = 0;
};
static_assert(sizeof(LineVertex) == 16);

inline constexpr int kCircleSegments = 36;
// Ten degrees: the float one unit in the last place above pi / 18.
inline constexpr float kCircleStep = 0.17453294f;

using CircleVertices = std::array<LineVertex, kCircleSegments + 1>;

// A closed circle of this radius about the origin in the local x-y plane, starting on +x.
CircleVertices MakeCircleVertices(float radius, gfx::Colour colour);
// The camera's own frame (the inverse view) moved to `centre`: the local x-y plane is parallel
// to the screen.
gfx::Matrix FacingCircleWorld(const gfx::Matrix& inverseView, gfx::Vec3 centre);
// Rows x, y, n, centre with n the unit normal, x along up × n, y = n × x: the local x-y plane is
// the ring's plane. A normal straight up or down with up (0, 1, 0) tilts up slightly so the
// frame stays defined.
gfx::Matrix RingWorld(gfx::Vec3 centre, gfx::Vec3 normal, gfx::Vec3 up);

// A line in the current world transform; endColour 0 = the same colour at both ends, otherwise
// the colour runs from one to the other.
void DrawLine(framework::GraphicsDevice& device, gfx::Vec3 from, gfx::Vec3 to, gfx::Colour colour,
              gfx::Colour endColour = 0);
// Sets the world transform (it stays set).
void DrawFacingCircle(framework::GraphicsDevice& device, gfx::Vec3 centre, float radius,
                      gfx::Colour colour);
// Sets the world transform (it stays set).
void DrawRing(framework::GraphicsDevice& device, gfx::Vec3 centre, gfx::Vec3 normal, gfx::Vec3 up,
              float radius, gfx::Colour colour);

// Light 0: directional along the normalised direction with this diffuse colour; enabled.
void SetDirectionalLight(framework::GraphicsDevice& device, gfx::Vec3 direction, float red,
                         float green, float blue, float alpha);
// Light 0 as last set (all zero before the first SetDirectionalLight).
const framework::Light& CurrentLight(const framework::GraphicsDevice& device);

// ViewMatrix = the left-handed look-at matrix; the owner of `transforms` hands it to the device.
void SetView(framework::ViewTransforms& transforms, gfx::Vec3 eye, gfx::Vec3 target, gfx::Vec3 up);

}  // namespace scene
