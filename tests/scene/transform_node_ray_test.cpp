// Ray/triangle intersection and ray picking on transform nodes.

#include <gtest/gtest.h>

#include <array>
#include <numbers>
#include <utility>

#include "gfx/math/math.h"
#include "gfx/mesh/mesh.h"
#include "scene/mesh_object.h"
#include "scene/ray_triangle.h"
#include "scene/transform_node.h"
#include "transform_node_test_util.h"

namespace scene {
namespace {

using testing::Face;
using testing::MakeMesh;
using testing::Vec3Near;
constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

// Runs up then right, so it is clockwise seen from z < 0: its front faces a ray going +z.
constexpr gfx::Vec3 kA{0, 0, 2}, kB{0, 1, 2}, kC{1, 0, 2};

TEST(RayTriangleTest, FrontHitGivesDistanceAndBarycentrics) {
    const auto hit = RayTriangleTest({0.25f, 0.5f, 0}, {0, 0, 1}, kA, kB, kC);
    ASSERT_TRUE(hit);
    EXPECT_FLOAT_EQ(hit->t, 2.0f);
    EXPECT_FLOAT_EQ(hit->u, 0.5f);  // along a -> b, the y direction
    EXPECT_FLOAT_EQ(hit->v, 0.25f);

    // t is measured in lengths of the direction.
    const auto doubled = RayTriangleTest({0.25f, 0.5f, 0}, {0, 0, 2}, kA, kB, kC);
    ASSERT_TRUE(doubled);
    EXPECT_FLOAT_EQ(doubled->t, 1.0f);

    // Behind the origin is still a hit, with negative t.
    const auto behind = RayTriangleTest({0.25f, 0.5f, 5}, {0, 0, 1}, kA, kB, kC);
    ASSERT_TRUE(behind);
    EXPECT_FLOAT_EQ(behind->t, -3.0f);
}

TEST(RayTriangleTest, BackAndEdgeOnFacesAreMissed) {
    EXPECT_FALSE(RayTriangleTest({0.25f, 0.5f, 0}, {0, 0, 1}, kA, kC, kB));
    EXPECT_FALSE(RayTriangleTest({0.25f, 0.5f, 4}, {0, 0, -1}, kA, kB, kC));
    EXPECT_FALSE(RayTriangleTest({-1, 0.25f, 2}, {1, 0, 0}, kA, kB, kC));
}

TEST(RayTriangleTest, EdgesCountAndOutsideMisses) {
    EXPECT_TRUE(RayTriangleTest({0, 0, 0}, {0, 0, 1}, kA, kB, kC));          // corner a
    EXPECT_TRUE(RayTriangleTest({0.5f, 0.5f, 0}, {0, 0, 1}, kA, kB, kC));    // on edge b-c
    EXPECT_FALSE(RayTriangleTest({0.6f, 0.6f, 0}, {0, 0, 1}, kA, kB, kC));   // u + v > 1
    EXPECT_FALSE(RayTriangleTest({-0.1f, 0.5f, 0}, {0, 0, 1}, kA, kB, kC));  // v < 0
    EXPECT_FALSE(RayTriangleTest({0.5f, -0.1f, 0}, {0, 0, 1}, kA, kB, kC));  // u < 0
}

TEST(RayTriangleTest, DeterminantThresholdIsAbsolute) {
    // A triangle 0.005 across has a determinant of 2.5e-5 for a unit direction: ignored.
    const float k = 0.005f;
    EXPECT_FALSE(RayTriangleTest({k / 4, k / 4, 0}, {0, 0, 1}, {0, 0, 2}, {0, k, 2}, {k, 0, 2}));
    // So is a unit triangle met by a very short direction, while a slightly longer one hits.
    EXPECT_FALSE(RayTriangleTest({0.25f, 0.25f, 0}, {0, 0, 0.00005f}, kA, kB, kC));
    EXPECT_TRUE(RayTriangleTest({0.25f, 0.25f, 0}, {0, 0, 0.0002f}, kA, kB, kC));
}

TEST(TransformNodeRayTest, NodeWithoutLoadedMeshIsNeverHitAndLeavesTheOutput) {
    TransformNode node;
    gfx::Vec3 hit{7, 8, 9};
    EXPECT_FALSE(node.RayHit({0, 0, -5}, {0, 0, 1}, hit));
    EXPECT_EQ(hit, (gfx::Vec3{7, 8, 9}));

    MeshObject released;  // no mesh data
    node.Bind(released, {0, 0, 0}, 1.0f);
    EXPECT_FALSE(node.RayHit({0, 0, -5}, {0, 0, 1}, hit));
    EXPECT_EQ(hit, (gfx::Vec3{7, 8, 9}));
}

TEST(TransformNodeRayTest, OnlyBackFacesMeansNoHitAndAZeroPoint) {
    MeshObject object;
    object.d3dMesh = MakeMesh({kA, kB, kC}, {{0, 2, 1}});
    TransformNode node;
    node.Bind(object, {0, 0, 0}, 1.0f);
    gfx::Vec3 hit{7, 8, 9};
    EXPECT_FALSE(node.RayHit({0.25f, 0.25f, 0}, {0, 0, 1}, hit));
    EXPECT_EQ(hit, (gfx::Vec3{0, 0, 0}));
}

TEST(TransformNodeRayTest, BoxIsHitFromOutsideButNotFromInside) {
    MeshObject object;
    object.d3dMesh = std::make_unique<gfx::Mesh>(gfx::CreateBox(2, 2, 2).value());
    TransformNode node;
    node.Bind(object, {0, 0, 0}, 1.0f);

    gfx::Vec3 hit;
    EXPECT_FALSE(node.RayHit({0, 0, 0}, {1, 0, 0}, hit));
    EXPECT_FALSE(node.RayHit({0.5f, 0.2f, -0.3f}, {0, -1, 0}, hit));
    ASSERT_TRUE(node.RayHit({-5, 0.2f, 0.3f}, {1, 0, 0}, hit));
    EXPECT_TRUE(Vec3Near(hit, {-1, 0.2f, 0.3f}));
    // A ray pointing away from the box finds nothing behind its origin.
    EXPECT_FALSE(node.RayHit({-5, 0.2f, 0.3f}, {-1, 0, 0}, hit));
}

TEST(TransformNodeRayTest, HitsFartherThanTheStartingPointAreIgnored) {
    MeshObject object;
    object.d3dMesh = std::make_unique<gfx::Mesh>(gfx::CreateBox(1, 1, 1).value());
    TransformNode node;
    node.Bind(object, {0, 0, 0}, 1.0f);

    gfx::Vec3 hit;
    // 2999.5 away, nearer than (1000, 1000, 1000) is from (0, 0, -3000): found.
    ASSERT_TRUE(node.RayHit({0, 0, -3000}, {0, 0, 1}, hit));
    EXPECT_TRUE(Vec3Near(hit, {0, 0, -0.5f}));
    // Also 2999.5 away, but (1000, 1000, 1000) is only about 2449 from (0, 0, 3000): missed.
    EXPECT_FALSE(node.RayHit({0, 0, 3000}, {0, 0, -1}, hit));
}

TEST(TransformNodeRayTest, HitThroughARotatedScaledParentIsInWorldSpace) {
    MeshObject object;
    object.d3dMesh = std::make_unique<gfx::Mesh>(gfx::CreateBox(1, 2, 3).value());
    TransformNode parent, node;
    parent.SetScale(2.0f);
    parent.TurnLocalY(kHalfPi);  // parent X -> world -z, parent Z -> world +x
    parent.SetLocalPosition({10, 0, 0});
    node.parent = &parent;
    node.Bind(object, {1, 0, 0}, 0.5f);
    // The box's centre is at (10, 0, -2); with combined scale 1 its half extents are 0.5 along
    // world z (mesh x), 1 along y and 1.5 along world x (mesh z).

    gfx::Vec3 hit;
    std::array<gfx::Vec3, 3> triangle;
    ASSERT_TRUE(node.RayHit({10, 0.3f, -10}, {0, 0, 1}, hit, &triangle));
    EXPECT_TRUE(Vec3Near(hit, {10, 0.3f, -2.5f}, 1e-4f));
    for (const gfx::Vec3& corner : triangle) EXPECT_FLOAT_EQ(corner.x, 0.5f);

    ASSERT_TRUE(node.RayHit({0, 0.1f, -2.2f}, {3, 0, 0}, hit, &triangle));
    EXPECT_TRUE(Vec3Near(hit, {8.5f, 0.1f, -2.2f}, 1e-4f));
    for (const gfx::Vec3& corner : triangle) EXPECT_FLOAT_EQ(corner.z, -1.5f);

    ASSERT_TRUE(node.RayHit({10.4f, 5, -2}, {0, -1, 0}, hit, &triangle));
    EXPECT_TRUE(Vec3Near(hit, {10.4f, 1, -2}, 1e-4f));
    for (const gfx::Vec3& corner : triangle) EXPECT_FLOAT_EQ(corner.y, 1.0f);
}

// Faces all turned to a ray going +z: one behind the ray's origin (z = -3), a far one (z = 5)
// and a near one (z = 2), in that index order.
class TransformNodeLayeredRayTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(TransformNodeLayeredRayTest, NearestFaceAheadWinsWhateverTheVertexSize) {
    MeshObject object;
    object.d3dMesh =
        MakeMesh({{0, 0, -3}, {0, 1, -3}, {1, 0, -3}, {0, 0, 5}, {0, 1, 5}, {1, 0, 5}, kA, kB, kC},
                 {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}, GetParam());
    TransformNode node;
    node.Bind(object, {0, 0, 0}, 1.0f);

    gfx::Vec3 hit;
    std::array<gfx::Vec3, 3> triangle;
    ASSERT_TRUE(node.RayHit({0.25f, 0.25f, -1}, {0, 0, 1}, hit, &triangle));
    EXPECT_TRUE(Vec3Near(hit, {0.25f, 0.25f, 2}));
    EXPECT_EQ(triangle, (std::array<gfx::Vec3, 3>{kA, kB, kC}));

    // Without the triangle output the answer is the same.
    ASSERT_TRUE(node.RayHit({0.25f, 0.25f, -1}, {0, 0, 1}, hit));
    EXPECT_TRUE(Vec3Near(hit, {0.25f, 0.25f, 2}));
}

INSTANTIATE_TEST_SUITE_P(VertexFormats, TransformNodeLayeredRayTest,
                         ::testing::Values(gfx::kFvfXyz, gfx::kFvfXyz | gfx::kFvfNormal,
                                           gfx::kFvfXyz | gfx::kFvfNormal | gfx::kFvfTex1));

TEST(TransformNodeRayTest, TiesGoToTheFirstFaceInIndexOrder) {
    // Two coplanar front faces, both covering the point the ray meets.
    const std::vector<gfx::Vec3> corners = {kA, kB, kC, {-1, -1, 2}, {-1, 2, 2}, {2, -1, 2}};
    const std::array<gfx::Vec3, 3> small{kA, kB, kC};
    const std::array<gfx::Vec3, 3> large{corners[3], corners[4], corners[5]};
    TransformNode node;
    MeshObject object;
    node.Bind(object, {0, 0, 0}, 1.0f);
    gfx::Vec3 hit;
    std::array<gfx::Vec3, 3> triangle;

    object.d3dMesh = MakeMesh(corners, {{0, 1, 2}, {3, 4, 5}});
    ASSERT_TRUE(node.RayHit({0.25f, 0.25f, -1}, {0, 0, 1}, hit, &triangle));
    EXPECT_EQ(triangle, small);

    object.d3dMesh = MakeMesh(corners, {{3, 4, 5}, {0, 1, 2}});
    ASSERT_TRUE(node.RayHit({0.25f, 0.25f, -1}, {0, 0, 1}, hit, &triangle));
    EXPECT_EQ(triangle, large);
}

TEST(TransformNodeRayTest, FacesWithIndicesPastTheVerticesAreSkipped) {
    MeshObject object;
    auto damaged = MakeMesh({kA, kB, kC}, {{0, 1, 2}});
    damaged->Indices()[1] = 40000;  // as a damaged mesh might hold
    object.d3dMesh = std::move(damaged);
    TransformNode node;
    node.Bind(object, {0, 0, 0}, 1.0f);
    gfx::Vec3 hit;
    EXPECT_FALSE(node.RayHit({0.25f, 0.25f, -1}, {0, 0, 1}, hit));
    EXPECT_FALSE(object.d3dMesh->IsLocked());
}

}  // namespace
}  // namespace scene
