// The box primitive.
//
// Winding: Direct3D's frame is left-handed (x right, y up, z away from the viewer) and by
// default it culls counter-clockwise triangles, so front faces are clockwise on screen. Seen
// from z < 0, the triangle a = (0,0,0), b = (0,1,0), c = (1,0,0) runs up then down-right:
// clockwise; cross(b - a, c - a) = (0,0,-1) points at the viewer. So a triangle is front-facing
// from the side cross(b - a, c - a) points to, and each side of the box is wound so that this
// cross product is its outward normal.

#include <array>
#include <cmath>
#include <string>

#include "gfx/mesh/mesh.h"

namespace gfx {
namespace {

// One side: its outward normal n and two in-plane axes with cross(u, v) = n. The quad
// -u-v, +u-v, +u+v, -u+v then runs counter-clockwise about n, and the triangles (0, 1, 2),
// (0, 2, 3) have cross products along n.
struct Side {
    Vec3 n, u, v;
};

constexpr std::array<Side, 6> kSides = {{
    {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
    {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
    {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
}};

bool ValidExtent(float extent) {
    return std::isfinite(extent) && extent >= 0;
}

}  // namespace

Result<Mesh> CreateBox(float width, float height, float depth,
                       std::vector<std::uint32_t>* adjacency) {
    if (!ValidExtent(width) || !ValidExtent(height) || !ValidExtent(depth)) {
        return Error{"CreateBox: extents must be finite and not negative (got " +
                     std::to_string(width) + ", " + std::to_string(height) + ", " +
                     std::to_string(depth) + ")"};
    }
    const Vec3 half{width / 2, height / 2, depth / 2};
    Mesh box(12, 24, kFvfXyz | kFvfNormal);
    std::uint32_t vertex = 0;
    std::size_t index = 0;
    for (const Side& side : kSides) {
        const float signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        const auto first = static_cast<std::uint16_t>(vertex);
        for (const auto& sign : signs) {
            const float su = sign[0], sv = sign[1];
            // Each axis is a unit vector, so the component products pick the half extents.
            auto component = [&](float n, float u, float v, float h) {
                return (n + su * u + sv * v) * h;
            };
            box.SetPosition(vertex, {component(side.n.x, side.u.x, side.v.x, half.x),
                                     component(side.n.y, side.u.y, side.v.y, half.y),
                                     component(side.n.z, side.u.z, side.v.z, half.z)});
            box.SetNormal(vertex, side.n);
            ++vertex;
        }
        for (const int corner : {0, 1, 2, 0, 2, 3}) {
            box.Indices()[index++] = static_cast<std::uint16_t>(first + corner);
        }
    }
    box.SetAttributeTable({AttributeRange{0, 0, 12, 0, 24}});
    if (adjacency != nullptr) *adjacency = box.GenerateAdjacency(0);
    return box;
}

}  // namespace gfx
