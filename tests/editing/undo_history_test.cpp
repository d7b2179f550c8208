// The undo history: bounded to 50 entries, newest first, the Undo button following it.

#include "editing/undo_history.h"

#include <gtest/gtest.h>

#include <cmath>

#include "editing/model.h"
#include "framework/texture_cache.h"
#include "gfx/math/math.h"
#include "tests/editing/fake_host.h"

namespace editing {
namespace {

using model::kMaxKeys;
using model::kMaxParts;
using model::kNoPart;
using model::PartIndex;
using model::PartTable;

// A root at scale 2 and one child, whose get-position is twice its stored local position.
class UndoHistoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        parts().count = 2;
        scene().node[0].SetScale(2.0f);
        scene().node[1].parent = &scene().node[0];
    }
    PartTable& parts() { return model_.parts; }
    PartScene& scene() { return model_.scene; }
    void Pose(int part, float angle, gfx::Vec3 position) {
        scene().node[part].SetOrientation(gfx::QuaternionRotationAxis({0, 1, 0}, angle));
        scene().node[part].SetPosition(position);
    }
    void ExpectPose(int part, float angle, gfx::Vec3 position) {
        const gfx::Quat q = gfx::QuaternionRotationAxis({0, 1, 0}, angle);
        EXPECT_NEAR(std::fabs(gfx::QuaternionDot(scene().node[part].GetOrientation(), q)), 1.0f,
                    1e-5f);
        const gfx::Vec3 p = scene().node[part].GetPosition();
        EXPECT_NEAR(p.x, position.x, 1e-4f);
        EXPECT_NEAR(p.y, position.y, 1e-4f);
        EXPECT_NEAR(p.z, position.z, 1e-4f);
    }

    framework::TextureCache textures_;
    testing::FakeHost host_;
    Model model_{textures_, host_};
};

TEST_F(UndoHistoryTest, FiftyOneEntriesKeepTheNewestFifty) {
    for (int i = 0; i < 51; ++i) {
        Pose(1, 0.01f * static_cast<float>(i), {static_cast<float>(i), 0, 0});
        model_.PushUndo(1);
    }
    EXPECT_EQ(model_.undo.size(), kUndoCapacity);
    Pose(1, 2.0f, {-1, -1, -1});
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(host_.canUndo) << i;
        model_.PopUndo();
    }
    ExpectPose(1, 0.01f, {1, 0, 0});  // the second push's pose: the first one is gone
    EXPECT_FALSE(host_.canUndo);
    model_.PopUndo();
    ExpectPose(1, 0.01f, {1, 0, 0});
    EXPECT_FALSE(host_.canUndo);
}

TEST_F(UndoHistoryTest, UndoRestoresOrientationAndPositionTogether) {
    Pose(1, 0.5f, {2, 4, 6});
    model_.PushUndo(1);
    EXPECT_TRUE(host_.canUndo);
    scene().node[1].SetLocalPosition({0, 0, 0});  // a move drag changes only the position
    model_.PopUndo();
    ExpectPose(1, 0.5f, {2, 4, 6});
    Pose(1, 0.5f, {2, 4, 6});
    model_.PushUndo(1);
    scene().node[1].TurnLocalX(1.0f);  // a turn drag changes only the orientation
    model_.PopUndo();
    ExpectPose(1, 0.5f, {2, 4, 6});
}

TEST_F(UndoHistoryTest, TwoDragsOfOnePartUndoneTwiceGoBackBeforeTheFirst) {
    Pose(1, 0.3f, {1, 1, 1});
    model_.PushUndo(1);
    Pose(1, 0.6f, {2, 2, 2});
    model_.PushUndo(1);
    Pose(0, 0.9f, {3, 3, 3});  // another part's pose is not part of the entries
    Pose(1, 0.9f, {3, 3, 3});
    model_.PopUndo();
    ExpectPose(1, 0.6f, {2, 2, 2});
    model_.PopUndo();
    ExpectPose(1, 0.3f, {1, 1, 1});
    ExpectPose(0, 0.9f, {3, 3, 3});
}

}  // namespace
}  // namespace editing
