// Turning, aiming and world placement of transform nodes.

#include <gtest/gtest.h>

#include <numbers>

#include "gfx/math/math.h"
#include "scene/transform_node.h"
#include "transform_node_test_util.h"

namespace scene {
namespace {

using testing::Row;
using testing::Vec3Near;
constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

void ExpectAxes(const TransformNode& node, gfx::Vec3 x, gfx::Vec3 y, gfx::Vec3 z) {
    EXPECT_TRUE(Vec3Near(Row(node.local, 0), x));
    EXPECT_TRUE(Vec3Near(Row(node.local, 1), y));
    EXPECT_TRUE(Vec3Near(Row(node.local, 2), z));
}

TEST(TransformNodeTurnTest, TurnParentYOrbitsTheParentOrigin) {
    TransformNode node;
    node.SetLocalPosition({1, 0, 0});
    node.TurnParentY(kHalfPi);
    EXPECT_TRUE(Vec3Near(Row(node.local, 3), {0, 0, -1}));
    ExpectAxes(node, {0, 0, -1}, {0, 1, 0}, {1, 0, 0});
}

TEST(TransformNodeTurnTest, LocalTurnsKeepThePosition) {
    TransformNode node;
    node.SetScale(2.0f);
    node.SetLocalPosition({1, 0, 0});
    node.TurnLocalY(kHalfPi);
    EXPECT_EQ(Row(node.local, 3), (gfx::Vec3{1, 0, 0}));
    ExpectAxes(node, {0, 0, -2}, {0, 2, 0}, {2, 0, 0});
}

TEST(TransformNodeTurnTest, LocalTurnsUseTheNodesOwnAxes) {
    TransformNode node;
    node.TurnLocalX(kHalfPi);
    ExpectAxes(node, {1, 0, 0}, {0, 0, 1}, {0, -1, 0});
    // The node's Z axis now points down the parent's -Y: a quarter turn about it takes X onto
    // the node's Y, not onto the parent's Y.
    node.TurnLocalZ(kHalfPi);
    ExpectAxes(node, {0, 0, 1}, {-1, 0, 0}, {0, -1, 0});
}

TEST(TransformNodeTurnTest, TurnLocalAxisNormalisesTheAxis) {
    TransformNode byAxis, byZ;
    for (TransformNode* node : {&byAxis, &byZ}) {
        node->TurnLocalX(0.5f);
        node->SetScale(1.5f);
    }
    byAxis.TurnLocalAxis({0, 0, 5}, 0.8f);
    byZ.TurnLocalZ(0.8f);
    for (int row = 0; row < 4; ++row) {
        EXPECT_TRUE(Vec3Near(Row(byAxis.local, row), Row(byZ.local, row)));
    }
}

TEST(TransformNodeTurnTest, SetDirectionAlongZGivesScaledIdentity) {
    TransformNode node;
    node.TurnLocalX(0.7f);
    node.TurnLocalY(-2.0f);
    node.SetScale(3.0f);
    node.SetLocalPosition({1, 2, 3});

    node.SetDirection({0, 0, 5}, {0, 1, 0});

    ExpectAxes(node, {3, 0, 0}, {0, 3, 0}, {0, 0, 3});
    EXPECT_EQ(Row(node.local, 3), (gfx::Vec3{1, 2, 3}));
    EXPECT_EQ(node.scale, 3.0f);
}

TEST(TransformNodeTurnTest, SetDirectionBuildsALeftHandedFrame) {
    TransformNode node;
    node.SetDirection({4, 0, 0}, {0, 1, 0});
    // Facing +x with +y up is a quarter turn about Y.
    ExpectAxes(node, {0, 0, -1}, {0, 1, 0}, {1, 0, 0});
    const gfx::Quat q = node.GetOrientation();
    const gfx::Quat expected = gfx::QuaternionRotationAxis({0, 1, 0}, kHalfPi);
    EXPECT_NEAR(std::fabs(gfx::QuaternionDot(q, expected)), 1.0f, 1e-5f);

    // Up need not be perpendicular to forward: Y is the nearest perpendicular direction.
    node.SetDirection({0, 0, 1}, {0, 1, 1});
    ExpectAxes(node, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
}

TEST(TransformNodeTurnTest, SetDirectionStraightUpOrDownStillGivesAFrame) {
    TransformNode node;
    node.SetScale(2.0f);
    node.SetDirection({0, 3, 0}, {0, 1, 0});
    ExpectAxes(node, {2, 0, 0}, {0, 0, -2}, {0, 2, 0});
    node.SetDirection({0, -3, 0}, {0, 1, 0});
    ExpectAxes(node, {2, 0, 0}, {0, 0, 2}, {0, -2, 0});
}

TEST(TransformNodeTurnTest, TurnTowardAPointStraightAboveChangesNothing) {
    TransformNode node;
    node.TurnLocalY(0.3f);
    node.SetLocalPosition({1, 2, 3});
    const gfx::Matrix before = node.local;

    node.TurnToward({1, 10, 3});
    EXPECT_EQ(node.local, before);
    node.TurnToward({1.00005f, -7, 3});  // within 0.0001 horizontally
    EXPECT_EQ(node.local, before);
}

TEST(TransformNodeTurnTest, TurnTowardPointsZAtTheTargetFromARoot) {
    TransformNode node;
    node.SetScale(2.0f);
    node.SetLocalPosition({1, 0, 1});
    node.TurnToward({4, 4, 1});
    EXPECT_TRUE(Vec3Near(Row(node.local, 2), {1.2f, 1.6f, 0}));
    EXPECT_EQ(Row(node.local, 3), (gfx::Vec3{1, 0, 1}));
}

TEST(TransformNodeTurnTest, TurnTowardWorksThroughARotatedScaledParent) {
    TransformNode grandparent, parent, node;
    grandparent.SetScale(2.0f);
    grandparent.TurnLocalY(0.8f);
    grandparent.TurnLocalX(0.3f);
    grandparent.SetLocalPosition({-1, 2, 0});
    parent.parent = &grandparent;
    parent.SetScale(1.5f);
    parent.TurnLocalZ(-0.6f);
    parent.SetLocalPosition({0, 1, 2});
    node.parent = &parent;
    node.SetLocalPosition({1, 1, 0});

    const gfx::Vec3 target{7, -3, 5};
    node.TurnToward(target);

    const gfx::Vec3 wanted = gfx::Vec3Normalize(target - node.WorldPosition());
    EXPECT_TRUE(Vec3Near(gfx::Vec3Normalize(node.WorldAxisZ()), wanted, 1e-4f));
    EXPECT_NEAR(gfx::Vec3Length(node.WorldAxisZ()), 3.0f, 1e-4f);
}

TEST(TransformNodeTurnTest, SetWorldPositionOfARootStoresThePoint) {
    TransformNode node;
    node.TurnLocalZ(1.0f);
    node.SetWorldPosition({3, -1, 7});
    EXPECT_EQ(Row(node.local, 3), (gfx::Vec3{3, -1, 7}));
}

TEST(TransformNodeTurnTest, SetWorldPositionLandsOnThePointThroughAParentChain) {
    TransformNode grandparent, parent, node;
    grandparent.SetScale(2.0f);
    grandparent.TurnLocalY(0.8f);
    grandparent.SetLocalPosition({5, 0, -2});
    parent.parent = &grandparent;
    parent.SetScale(1.5f);
    parent.TurnLocalX(-1.1f);
    parent.SetLocalPosition({0, 1, 1});
    node.parent = &parent;
    node.SetLocalPosition({0.5f, 0, 0});

    const gfx::Matrix before = node.local;
    node.SetWorldPosition(node.WorldPosition());
    EXPECT_EQ(node.local, before);

    node.SetWorldPosition({3, -1, 7});
    EXPECT_TRUE(Vec3Near(node.WorldPosition(), {3, -1, 7}, 1e-4f));
    for (int row = 0; row < 3; ++row) EXPECT_EQ(Row(node.local, row), Row(before, row));
}

}  // namespace
}  // namespace scene
