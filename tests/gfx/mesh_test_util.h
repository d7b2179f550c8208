#pragma once
// Small builders shared by the mesh tests.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "gfx/mesh/mesh.h"

namespace gfx::testing {

struct Tri {
    std::uint16_t a, b, c;
    std::uint32_t attribute = 0;
};

// A mesh of the given format from positions and triangles; other components stay zero.
inline Mesh MakeMesh(const std::vector<Vec3>& positions, const std::vector<Tri>& faces,
                     std::uint32_t fvf = kFvfXyz) {
    Mesh mesh(static_cast<std::uint32_t>(faces.size()),
              static_cast<std::uint32_t>(positions.size()), fvf);
    for (std::uint32_t v = 0; v < positions.size(); ++v) mesh.SetPosition(v, positions[v]);
    for (std::size_t f = 0; f < faces.size(); ++f) {
        mesh.Indices()[f * 3 + 0] = faces[f].a;
        mesh.Indices()[f * 3 + 1] = faces[f].b;
        mesh.Indices()[f * 3 + 2] = faces[f].c;
        mesh.Attributes()[f] = faces[f].attribute;
    }
    return mesh;
}

inline Vec3 Sub(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

}  // namespace gfx::testing
