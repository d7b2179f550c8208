#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "gfx/mesh/mesh.h"
#include "mesh_test_util.h"

namespace gfx {
namespace {

using testing::Cross;
using testing::Dot;
using testing::Sub;

TEST(MeshBox, LayoutAndFormat) {
    auto box = CreateBox(2, 4, 6);
    ASSERT_TRUE(box.ok()) << box.error();
    EXPECT_EQ(box->NumVertices(), 24u);
    EXPECT_EQ(box->NumFaces(), 12u);
    EXPECT_EQ(box->Fvf(), kFvfXyz | kFvfNormal);
    EXPECT_EQ(box->BytesPerVertex(), 24u);
    for (const std::uint32_t attribute : box->Attributes()) EXPECT_EQ(attribute, 0u);
    const std::vector<AttributeRange> table = {{0, 0, 12, 0, 24}};
    EXPECT_EQ(box->AttributeTable(), table);
}

TEST(MeshBox, EachSideHasFourDistinctCornersOnItsPlane) {
    const Vec3 half{1, 2, 3};
    auto box = CreateBox(2 * half.x, 2 * half.y, 2 * half.z);
    ASSERT_TRUE(box.ok()) << box.error();
    std::map<std::tuple<float, float, float>, std::set<std::tuple<float, float, float>>> sides;
    for (std::uint32_t v = 0; v < 24; ++v) {
        const Vec3 n = box->Normal(v), p = box->Position(v);
        // A unit axis normal.
        EXPECT_EQ(std::fabs(n.x) + std::fabs(n.y) + std::fabs(n.z), 1.0f);
        EXPECT_EQ(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f);
        // Every coordinate is at plus or minus the half extent...
        EXPECT_EQ(std::fabs(p.x), half.x);
        EXPECT_EQ(std::fabs(p.y), half.y);
        EXPECT_EQ(std::fabs(p.z), half.z);
        // ...and on the side the normal names.
        EXPECT_EQ(Dot(p, n), Dot(half, {std::fabs(n.x), std::fabs(n.y), std::fabs(n.z)}));
        sides[{n.x, n.y, n.z}].insert({p.x, p.y, p.z});
    }
    ASSERT_EQ(sides.size(), 6u);
    for (const auto& [normal, corners] : sides) EXPECT_EQ(corners.size(), 4u);
}

TEST(MeshBox, TrianglesFaceOutwardAndTileEachSide) {
    const float width = 2, height = 4, depth = 6;
    auto box = CreateBox(width, height, depth);
    ASSERT_TRUE(box.ok()) << box.error();
    std::map<std::tuple<float, float, float>, float> areaBySide;
    for (std::uint32_t f = 0; f < 12; ++f) {
        const auto corner = [&](int k) { return box->Indices()[f * 3 + k]; };
        const Vec3 n = box->Normal(corner(0));
        EXPECT_EQ(box->Normal(corner(1)), n);
        EXPECT_EQ(box->Normal(corner(2)), n);
        const Vec3 a = box->Position(corner(0)), b = box->Position(corner(1)),
                   c = box->Position(corner(2));
        const Vec3 cross = Cross(Sub(b, a), Sub(c, a));
        const float length = std::sqrt(Dot(cross, cross));
        // Front face (clockwise for a viewer on the outside): cross product along the normal.
        EXPECT_NEAR(Dot(cross, n), length, 1e-5f) << "face " << f;
        areaBySide[{n.x, n.y, n.z}] += length / 2;
    }
    ASSERT_EQ(areaBySide.size(), 6u);
    for (const auto& [normal, area] : areaBySide) {
        const auto [nx, ny, nz] = normal;
        const float expected = nx != 0 ? height * depth : ny != 0 ? width * depth : width * height;
        EXPECT_FLOAT_EQ(area, expected);
    }
}

TEST(MeshBox, SideFacingDefaultCameraIsClockwiseOnScreen) {
    // The default left-handed view: camera on -z looking toward +z, x to the right, y up, so
    // a point projects to (x, y) on screen. The -z side faces that camera and its triangles
    // must run clockwise: negative signed area with y up.
    auto box = CreateBox(1, 1, 1);
    ASSERT_TRUE(box.ok()) << box.error();
    int facing = 0;
    for (std::uint32_t f = 0; f < 12; ++f) {
        if (box->Normal(box->Indices()[f * 3]) != Vec3{0, 0, -1}) continue;
        ++facing;
        const Vec3 a = box->Position(box->Indices()[f * 3]);
        const Vec3 b = box->Position(box->Indices()[f * 3 + 1]);
        const Vec3 c = box->Position(box->Indices()[f * 3 + 2]);
        const float signedArea = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
        EXPECT_LT(signedArea, 0) << "face " << f;
    }
    EXPECT_EQ(facing, 2);
}

TEST(MeshBox, AdjacencyIsCompleteAndMutual) {
    std::vector<std::uint32_t> adjacency;
    auto box = CreateBox(1, 2, 3, &adjacency);
    ASSERT_TRUE(box.ok()) << box.error();
    ASSERT_EQ(adjacency.size(), 36u);
    for (std::uint32_t f = 0; f < 12; ++f) {
        std::set<std::uint32_t> neighbours;
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t g = adjacency[f * 3 + k];
            ASSERT_LT(g, 12u);
            neighbours.insert(g);
            EXPECT_EQ(std::count(adjacency.begin() + g * 3, adjacency.begin() + g * 3 + 3, f), 1);
        }
        EXPECT_EQ(neighbours.size(), 3u) << "face " << f;
    }
}

TEST(MeshBox, RejectsNegativeOrNonFiniteExtents) {
    EXPECT_FALSE(CreateBox(-1, 1, 1).ok());
    EXPECT_FALSE(CreateBox(1, std::numeric_limits<float>::quiet_NaN(), 1).ok());
    EXPECT_FALSE(CreateBox(1, 1, std::numeric_limits<float>::infinity()).ok());
    std::vector<std::uint32_t> adjacency = {7};
    EXPECT_FALSE(CreateBox(1, 1, -0.5f, &adjacency).ok());
    EXPECT_EQ(adjacency, std::vector<std::uint32_t>{7});
}

}  // namespace
}  // namespace gfx
