#pragma once
// Which faces of a mesh turn towards the camera, as the outline needs every frame. The answer
// is defined by the projected winding: a face faces the camera when its corners, taken through
// world * view * projection and divided by w, run clockwise on screen. Projecting every vertex
// each frame is the cost of that definition; `MarkFacingFaces` gets the same answer mostly from
// a plane test in mesh space and projects only the faces that test cannot settle.

#include <cstdint>
#include <span>

#include "gfx/math/math_types.h"

namespace scene {

struct OutlineData;

// `front` gets 1 for a face turned towards the camera, 0 otherwise: a face naming a vertex past
// `vertexCount` never does. `projected` (one a vertex) is scratch space. Both spans must be
// sized for the mesh: a face per entry of `front`, a vertex per entry of `projected`.
struct FacingTarget {
    std::span<const std::uint16_t> indices;  // three a face
    std::span<std::uint8_t> front;
    std::span<gfx::Vec3> projected;
};

// The definition itself: every vertex projected, every face's winding tested.
void MarkFacingFacesByProjection(const gfx::Matrix& toScreen, const OutlineData& data,
                                 const FacingTarget& target);

// The same marks, face for face. Where the whole mesh lies well in front of the camera, the sign
// of the eye's distance from a face's plane decides the face; a face whose plane passes nearly
// through the eye (within a margin that covers the rounding of both tests) is projected and
// tested as above. Otherwise, or with a matrix of no usable eye, everything is projected.
void MarkFacingFaces(const gfx::Matrix& toScreen, const OutlineData& data,
                     const FacingTarget& target);

}  // namespace scene
