// The Part panel's pose commands: clipboards, left-right mirror, clear, and the default pose.

#include "editing/pose_commands.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "gfx/math/math.h"

namespace editing {
namespace {

using model::kMaxKeys;
using model::kMaxParts;
using model::kNoPart;
using model::PartIndex;
using model::PartTable;

// Two quaternions give the same rotation when they are equal or opposite.
bool SameRotation(gfx::Quat a, gfx::Quat b) {
    return std::fabs(std::fabs(gfx::QuaternionDot(a, b)) - 1.0f) < 1e-5f;
}

gfx::Vec3 StoredLocal(const scene::TransformNode& node) {
    return {node.local.m[3][0], node.local.m[3][1], node.local.m[3][2]};
}

// A root at scale 2 with two children, so that stored local positions and get-position differ.
class PoseCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        parts_->count = 3;
        scene_->node[0].SetScale(2.0f);
        for (int i : {1, 2}) scene_->node[i].parent = &scene_->node[0];
        scene_->node[1].SetOrientation(q1_);
        scene_->node[1].SetLocalPosition({1, 2, 3});
        scene_->node[2].SetOrientation(gfx::QuaternionRotationAxis({0, 1, 0}, -0.4f));
        scene_->node[2].SetLocalPosition({-5, 0, 1});
    }

    std::unique_ptr<PartTable> parts_ = std::make_unique<PartTable>();
    std::unique_ptr<PartScene> scene_ = std::make_unique<PartScene>();
    PoseClipboards clipboards_;
    const gfx::Quat q1_ = gfx::QuaternionRotationAxis({1, 2, 3}, 0.8f);
};

TEST_F(PoseCommandsTest, MirroringTwiceGivesBackTheRotation) {
    MirrorOrientation(*parts_, *scene_, 1);
    EXPECT_FALSE(SameRotation(scene_->node[1].GetOrientation(), q1_));
    MirrorOrientation(*parts_, *scene_, 1);
    EXPECT_TRUE(SameRotation(scene_->node[1].GetOrientation(), q1_));
}

TEST_F(PoseCommandsTest, MirroredIdentityIsMinusWAndStillTheIdentityRotation) {
    const gfx::Quat m = MirroredOrientation({0, 0, 0, 1});
    EXPECT_TRUE(std::signbit(m.x));
    EXPECT_EQ(m, (gfx::Quat{-0.0f, 0, 0, -1}));
    ClearOrientation(*parts_, *scene_, 1);
    MirrorOrientation(*parts_, *scene_, 1);
    EXPECT_TRUE(SameRotation(scene_->node[1].GetOrientation(), {0, 0, 0, 1}));
}

TEST_F(PoseCommandsTest, CopyPasteOntoAnotherPartThenMirror) {
    CopyOrientation(*parts_, *scene_, 1, clipboards_);
    PasteOrientation(*parts_, *scene_, 2, clipboards_);
    EXPECT_TRUE(SameRotation(scene_->node[2].GetOrientation(), q1_));
    MirrorOrientation(*parts_, *scene_, 2);
    // Reflected in the plane x = 0: the axis's y and z change sign, the angle stays.
    EXPECT_TRUE(SameRotation(scene_->node[2].GetOrientation(), {q1_.x, -q1_.y, -q1_.z, q1_.w}));
    EXPECT_TRUE(SameRotation(scene_->node[1].GetOrientation(), q1_));  // the source is untouched
}

TEST_F(PoseCommandsTest, PositionsAreTheStoredLocalOnesWithoutParentScale) {
    CopyPosition(*parts_, *scene_, 1, clipboards_);
    EXPECT_EQ(clipboards_.position, (gfx::Vec3{1, 2, 3}));
    PastePosition(*parts_, *scene_, 2, clipboards_);
    EXPECT_EQ(StoredLocal(scene_->node[2]), (gfx::Vec3{1, 2, 3}));
    MirrorPosition(*parts_, *scene_, 2);
    EXPECT_EQ(StoredLocal(scene_->node[2]), (gfx::Vec3{-1, 2, 3}));
    ClearPosition(*parts_, *scene_, 2);
    EXPECT_EQ(StoredLocal(scene_->node[2]), (gfx::Vec3{0, 0, 0}));
    // The orientation is kept.
    EXPECT_TRUE(SameRotation(scene_->node[2].GetOrientation(),
                             gfx::QuaternionRotationAxis({0, 1, 0}, -0.4f)));
}

TEST_F(PoseCommandsTest, PastingBeforeAnyCopyGivesIdentityAndTheOrigin) {
    PasteOrientation(*parts_, *scene_, 1, clipboards_);
    PastePosition(*parts_, *scene_, 1, clipboards_);
    EXPECT_TRUE(SameRotation(scene_->node[1].GetOrientation(), {0, 0, 0, 1}));
    EXPECT_EQ(StoredLocal(scene_->node[1]), (gfx::Vec3{0, 0, 0}));
}

TEST_F(PoseCommandsTest, FetchingADefaultChangesOnlyThatComponent) {
    StoreDefaultOrientation(*parts_, *scene_);
    StoreDefaultPosition(*parts_, *scene_);
    EXPECT_EQ(parts_->defaultPosition[1], (gfx::Vec3{2, 4, 6}));  // get-position units
    const gfx::Quat turn = gfx::QuaternionRotationAxis({0, 0, 1}, 1.2f);
    for (int i = 0; i < 3; ++i) {
        scene_->node[i].SetOrientation(turn);
        scene_->node[i].SetPosition({7, 7, 7});
    }
    FetchDefaultOrientation(*parts_, *scene_);
    EXPECT_TRUE(SameRotation(scene_->node[1].GetOrientation(), q1_));
    EXPECT_TRUE(SameRotation(scene_->node[0].GetOrientation(), {0, 0, 0, 1}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(scene_->node[i].GetPosition(), (gfx::Vec3{7, 7, 7}));
    for (int i = 0; i < 3; ++i) scene_->node[i].SetOrientation(turn);
    FetchDefaultPosition(*parts_, *scene_);
    EXPECT_EQ(StoredLocal(scene_->node[1]), (gfx::Vec3{1, 2, 3}));
    EXPECT_TRUE(SameRotation(scene_->node[1].GetOrientation(), turn));
}

TEST_F(PoseCommandsTest, NoSelectionOrNoPartsChangesNothing) {
    const PoseClipboards held{gfx::QuaternionRotationAxis({1, 0, 0}, 0.3f), {9, 9, 9}};
    clipboards_ = held;
    scene_->node[3] = scene_->node[1];  // a pose in the first slot not in use
    const auto locals = [&] {
        std::array<gfx::Matrix, 4> m;
        for (int i = 0; i < 4; ++i) m[i] = scene_->node[i].local;
        return m;
    };
    const auto before = locals();
    for (PartIndex selected : {kNoPart, PartIndex{3}}) {
        CopyOrientation(*parts_, *scene_, selected, clipboards_);
        CopyPosition(*parts_, *scene_, selected, clipboards_);
        PasteOrientation(*parts_, *scene_, selected, clipboards_);
        PastePosition(*parts_, *scene_, selected, clipboards_);
        for (auto command : {MirrorOrientation, ClearOrientation, MirrorPosition, ClearPosition}) {
            command(*parts_, *scene_, selected);
        }
    }
    EXPECT_EQ(clipboards_.orientation, held.orientation);
    EXPECT_EQ(clipboards_.position, held.position);
    EXPECT_EQ(locals(), before);

    parts_->count = 0;
    StoreDefaultOrientation(*parts_, *scene_);
    StoreDefaultPosition(*parts_, *scene_);
    EXPECT_EQ(parts_->defaultPosition[1], (gfx::Vec3{0, 0, 0}));
    EXPECT_EQ(parts_->defaultOrientation[1], (gfx::Quat{0, 0, 0, 1}));
    FetchDefaultOrientation(*parts_, *scene_);  // the identity defaults would clear part 1's pose
    FetchDefaultPosition(*parts_, *scene_);
    EXPECT_EQ(locals(), before);
}

}  // namespace
}  // namespace editing
