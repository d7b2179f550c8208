#pragma once
// One-sided ray/triangle intersection (Moller-Trumbore).

#include <optional>

#include "gfx/math/math_types.h"

namespace scene {

// Where a ray meets a triangle: o + t*d = a + u*(b - a) + v*(c - a).
struct RayTriangleHit {
    float t = 0, u = 0, v = 0;
};

// The ray o + t*d against triangle a, b, c. Only the front side counts: the side from which
// a, b, c run clockwise in the left-handed frame (cross(b - a, c - a) points at the ray's
// origin). Determinants below 0.0001 (back faces, edge-on faces, tiny triangles or short
// directions) count as no hit; the threshold is deliberately absolute. t may be negative: hits
// behind the origin are the caller's to reject.
std::optional<RayTriangleHit> RayTriangleTest(gfx::Vec3 o, gfx::Vec3 d, gfx::Vec3 a, gfx::Vec3 b,
                                              gfx::Vec3 c);

}  // namespace scene
