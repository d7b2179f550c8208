#pragma once
// Everything a part takes from its file, compared value for value: the mesh's bytes, materials,
// bounds, outline data and pick tree.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "scene/mesh_object.h"

namespace scene::testing_support {

inline void ExpectSameMesh(const MeshObject& a, const MeshObject& b) {
    ASSERT_TRUE(a.IsLoaded() && b.IsLoaded());
    const gfx::Mesh &x = *a.d3dMesh, &y = *b.d3dMesh;
    EXPECT_EQ(x.Fvf(), y.Fvf());
    ASSERT_EQ(x.Vertices().size(), y.Vertices().size());
    EXPECT_EQ(std::memcmp(x.Vertices().data(), y.Vertices().data(), x.Vertices().size()), 0);
    EXPECT_TRUE(
        std::equal(x.Indices().begin(), x.Indices().end(), y.Indices().begin(), y.Indices().end()));
    EXPECT_EQ(x.AttributeTable(), y.AttributeTable());
    EXPECT_EQ(a.materials, b.materials);
    EXPECT_EQ(a.boxMin, b.boxMin);
    EXPECT_EQ(a.boxMax, b.boxMax);
    EXPECT_EQ(a.sphereRadius, b.sphereRadius);
    ASSERT_TRUE(a.Outline() != nullptr && b.Outline() != nullptr);
    const OutlineData &p = *a.Outline(), &q = *b.Outline();
    EXPECT_EQ(p.neighbours16, q.neighbours16);
    EXPECT_EQ(p.x, q.x);
    EXPECT_EQ(p.planeX, q.planeX);
    EXPECT_EQ(p.planeD, q.planeD);
    EXPECT_TRUE(a.PickTree() != nullptr && b.PickTree() != nullptr);
}

}  // namespace scene::testing_support
