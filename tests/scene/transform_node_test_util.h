#pragma once
// Comparison helpers and mesh builders shared by the transform node tests.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/math/math_types.h"
#include "gfx/mesh/mesh.h"
#include "scene/mesh_object.h"

namespace scene::testing {

inline ::testing::AssertionResult Vec3Near(gfx::Vec3 actual, gfx::Vec3 expected,
                                           float tolerance = 1e-5f) {
    if (std::fabs(actual.x - expected.x) <= tolerance &&
        std::fabs(actual.y - expected.y) <= tolerance &&
        std::fabs(actual.z - expected.z) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not within "
           << tolerance << " of (" << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

inline gfx::Vec3 Row(const gfx::Matrix& m, int row) {
    return {m.m[row][0], m.m[row][1], m.m[row][2]};
}

struct Face {
    std::uint16_t a, b, c;
};

// A mesh of the given vertex format holding only positions and faces.
inline std::unique_ptr<gfx::Mesh> MakeMesh(const std::vector<gfx::Vec3>& positions,
                                           const std::vector<Face>& faces,
                                           std::uint32_t fvf = gfx::kFvfXyz | gfx::kFvfNormal) {
    auto mesh = std::make_unique<gfx::Mesh>(static_cast<std::uint32_t>(faces.size()),
                                            static_cast<std::uint32_t>(positions.size()), fvf);
    for (std::uint32_t v = 0; v < positions.size(); ++v) mesh->SetPosition(v, positions[v]);
    for (std::size_t f = 0; f < faces.size(); ++f) {
        mesh->Indices()[f * 3 + 0] = faces[f].a;
        mesh->Indices()[f * 3 + 1] = faces[f].b;
        mesh->Indices()[f * 3 + 2] = faces[f].c;
    }
    return mesh;
}

}  // namespace scene::testing
