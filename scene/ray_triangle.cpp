// One-sided ray/triangle intersection.

#include "scene/ray_triangle.h"

#include "gfx/math/math.h"

namespace scene {

std::optional<RayTriangleHit> RayTriangleTest(gfx::Vec3 o, gfx::Vec3 d, gfx::Vec3 a, gfx::Vec3 b,
                                              gfx::Vec3 c) {
    const gfx::Vec3 e1 = b - a;
    const gfx::Vec3 e2 = c - a;
    const gfx::Vec3 pv = gfx::Vec3Cross(d, e2);
    const float det = gfx::Vec3Dot(e1, pv);
    if (det < 0.0001f) return std::nullopt;

    // u and v stay multiplied by det until the hit is certain, saving the division on misses.
    const gfx::Vec3 tv = o - a;
    const float u = gfx::Vec3Dot(tv, pv);
    if (u < 0.0f || u > det) return std::nullopt;
    const gfx::Vec3 qv = gfx::Vec3Cross(tv, e1);
    const float v = gfx::Vec3Dot(d, qv);
    if (v < 0.0f || u + v > det) return std::nullopt;

    const float inverse = 1.0f / det;
    return RayTriangleHit{gfx::Vec3Dot(e2, qv) * inverse, u * inverse, v * inverse};
}

}  // namespace scene
