// Scale, orientation, position and world queries of transform nodes.

#include "scene/transform_node.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gfx/math/math.h"
#include "scene/mesh_object.h"
#include "transform_node_test_util.h"

namespace scene {
namespace {

using testing::Row;
using testing::Vec3Near;
constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

// True when a and b are the same rotation (q and -q both are).
::testing::AssertionResult SameRotation(gfx::Quat a, gfx::Quat b) {
    const float dot = std::fabs(gfx::QuaternionDot(a, b));
    if (std::fabs(dot - 1.0f) < 1e-5f) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << a.x << ", " << a.y << ", " << a.z << ", " << a.w << ") vs (" << b.x << ", "
           << b.y << ", " << b.z << ", " << b.w << ")";
}

TEST(TransformNodeTest, BindResetsOrientationAndKeepsParent) {
    TransformNode parent, node;
    MeshObject object;
    node.parent = &parent;
    node.TurnLocalX(0.4f);
    node.SetScale(5.0f);

    node.Bind(object, {1, 2, 3}, 2.0f);

    gfx::Matrix expected = gfx::MatrixScaling(2, 2, 2);
    expected.m[3][0] = 1;
    expected.m[3][1] = 2;
    expected.m[3][2] = 3;
    EXPECT_EQ(node.local, expected);
    EXPECT_EQ(node.scale, 2.0f);
    EXPECT_EQ(node.mesh, &object);
    EXPECT_EQ(node.bound, 1);
    EXPECT_EQ(node.parent, &parent);
}

TEST(TransformNodeTest, RootWorldQueriesReturnLocal) {
    TransformNode node;
    node.SetScale(1.5f);
    node.TurnLocalX(0.3f);
    node.TurnLocalY(1.1f);
    node.SetLocalPosition({4, -2, 7});

    EXPECT_EQ(node.WorldMatrix(), node.local);
    EXPECT_EQ(node.WorldPosition(), (gfx::Vec3{4, -2, 7}));
    EXPECT_EQ(node.WorldAxisX(), Row(node.local, 0));
    EXPECT_EQ(node.WorldAxisY(), Row(node.local, 1));
    EXPECT_EQ(node.WorldAxisZ(), Row(node.local, 2));
    EXPECT_EQ(node.GetPosition(), (gfx::Vec3{4, -2, 7}));
}

TEST(TransformNodeTest, ChildPositionIsInParentScaledUnits) {
    TransformNode root, child;
    root.SetScale(2.0f);
    root.TurnLocalZ(0.7f);
    root.SetLocalPosition({5, 1, -3});
    child.parent = &root;

    child.SetPosition({2, 0, 0});

    EXPECT_EQ(Row(child.local, 3), (gfx::Vec3{1, 0, 0}));
    EXPECT_EQ(child.GetPosition(), (gfx::Vec3{2, 0, 0}));
    // The root's X axis points along (cos 0.7, sin 0.7, 0); the child sits two units along it.
    const gfx::Vec3 expected{5 + 2 * std::cos(0.7f), 1 + 2 * std::sin(0.7f), -3};
    EXPECT_TRUE(Vec3Near(child.WorldPosition(), expected));
}

TEST(TransformNodeTest, CombinedScaleMultipliesTheChain) {
    TransformNode grandparent, parent, node;
    grandparent.SetScale(2.0f);
    parent.SetScale(3.0f);
    node.SetScale(0.5f);
    parent.parent = &grandparent;
    node.parent = &parent;

    EXPECT_FLOAT_EQ(node.CombinedScale(), 3.0f);
    EXPECT_FLOAT_EQ(parent.CombinedScale(), 6.0f);

    node.SetPosition({12, -6, 3});
    EXPECT_TRUE(Vec3Near(Row(node.local, 3), {2, -1, 0.5f}));
    EXPECT_TRUE(Vec3Near(node.GetPosition(), {12, -6, 3}));
}

TEST(TransformNodeTest, WorldMatrixAppliesOwnTransformBeforeAncestors) {
    TransformNode grandparent, parent, child;
    grandparent.SetScale(2.0f);
    parent.parent = &grandparent;
    parent.SetLocalPosition({10, 0, 0});
    parent.TurnLocalY(kHalfPi);  // parent's X axis now points along -z
    child.parent = &parent;
    child.SetLocalPosition({1, 0, 0});

    // (1,0,0) in the parent is (0,0,-1) + (10,0,0) in the grandparent, then scaled by 2.
    EXPECT_TRUE(Vec3Near(child.WorldPosition(), {20, 0, -2}));
    EXPECT_TRUE(Vec3Near(child.WorldAxisX(), {0, 0, -2}));
    EXPECT_TRUE(Vec3Near(child.WorldAxisY(), {0, 2, 0}));
    EXPECT_TRUE(Vec3Near(child.WorldAxisZ(), {2, 0, 0}));
    EXPECT_TRUE(Vec3Near(Row(child.WorldMatrix(), 3), {20, 0, -2}));
}

TEST(TransformNodeTest, AncestorChangesAreSeenAtOnce) {
    TransformNode root, child;
    child.parent = &root;
    child.SetLocalPosition({0, 0, 1});
    EXPECT_TRUE(Vec3Near(child.WorldPosition(), {0, 0, 1}));

    root.SetLocalPosition({0, 3, 0});
    root.SetScale(4.0f);
    EXPECT_TRUE(Vec3Near(child.WorldPosition(), {0, 3, 4}));
}

TEST(TransformNodeTest, SetScaleKeepsOrientationAndPosition) {
    TransformNode node;
    node.TurnLocalY(0.6f);
    node.SetLocalPosition({1, 2, 3});
    const gfx::Vec3 unitZ = Row(node.local, 2);

    node.SetScale(2.0f);
    EXPECT_TRUE(Vec3Near(Row(node.local, 2), unitZ * 2.0f));
    EXPECT_EQ(Row(node.local, 3), (gfx::Vec3{1, 2, 3}));
    EXPECT_EQ(node.scale, 2.0f);

    const gfx::Matrix before = node.local;
    node.SetScale(2.0f);
    EXPECT_EQ(node.local, before);

    node.SetScale(0.5f);
    EXPECT_TRUE(Vec3Near(Row(node.local, 2), unitZ * 0.5f));
    EXPECT_FLOAT_EQ(gfx::Vec3Length(Row(node.local, 0)), 0.5f);
}

TEST(TransformNodeTest, OrientationRoundTripsAtAnyScaleWithoutMovingTheNode) {
    // The second rotation is close to a half turn, where the trace is negative.
    const gfx::Quat rotations[] = {gfx::QuaternionRotationAxis({1, 2, 3}, 0.9f),
                                   gfx::QuaternionRotationAxis({0, 1, 0.2f}, 3.0f)};
    for (const float nodeScale : {1.0f, 2.0f, 0.5f}) {
        for (const gfx::Quat& q : rotations) {
            SCOPED_TRACE(nodeScale);
            TransformNode node;
            node.SetLocalPosition({3, -4, 5});
            node.SetScale(nodeScale);

            node.SetOrientation(q);
            EXPECT_EQ(Row(node.local, 3), (gfx::Vec3{3, -4, 5}));
            EXPECT_EQ(node.scale, nodeScale);
            EXPECT_NEAR(gfx::Vec3Length(Row(node.local, 1)), nodeScale, 1e-5f);
            EXPECT_EQ(node.local.m[3][3], 1.0f);

            const gfx::Matrix before = node.local;
            EXPECT_TRUE(SameRotation(node.GetOrientation(), q));
            EXPECT_EQ(node.local, before);
            EXPECT_EQ(node.scale, nodeScale);
        }
    }
}

TEST(TransformNodeTest, GetOrientationLeavesAnAwkwardScaleExactlyAsItWas) {
    TransformNode node;
    node.TurnLocalX(0.25f);
    node.TurnLocalZ(-1.3f);
    node.SetScale(0.3f);  // 1 / 0.3 and back would not round-trip exactly
    node.SetLocalPosition({0.1f, 0.2f, 0.3f});
    const gfx::Matrix before = node.local;

    const gfx::Quat q = node.GetOrientation();

    EXPECT_EQ(node.local, before);
    EXPECT_EQ(node.scale, 0.3f);
    // Turning about X then about the node's own Z is Z-then-X in quaternion composition order.
    const gfx::Quat expected =
        gfx::QuaternionMultiply(gfx::QuaternionRotationAxis({0, 0, 1}, -1.3f),
                                gfx::QuaternionRotationAxis({1, 0, 0}, 0.25f));
    EXPECT_TRUE(SameRotation(q, expected));
}

TEST(TransformNodeTest, BoundingSphereAddsUnrotatedCentreAndUsesOwnScale) {
    MeshObject object;
    object.sphereCentre = {1, 0, 0};
    object.sphereRadius = 2.0f;
    TransformNode parent, node;
    parent.SetScale(3.0f);
    parent.SetLocalPosition({0, 5, 0});
    node.parent = &parent;
    node.Bind(object, {1, 0, 0}, 0.5f);
    node.TurnLocalY(kHalfPi);

    const Sphere sphere = node.BoundingSphere();
    // World position (3, 5, 0); the mesh centre is added as it is, not turned or scaled.
    EXPECT_TRUE(Vec3Near(sphere.centre, {4, 5, 0}));
    EXPECT_FLOAT_EQ(sphere.radius, 1.0f);
}

}  // namespace
}  // namespace scene
