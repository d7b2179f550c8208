#include "model/animation_set.h"

#include <gtest/gtest.h>

#include "gfx/math/math.h"
#include "model/part_table.h"

namespace model {
namespace {

TEST(AnimationSetTest, KeysInUseEndAtTheFirstZeroFrameCount) {
    AnimationSet set;
    set.ClearAnimation();
    EXPECT_EQ(set.KeysInUse(), 0);
    set.SetFrameCount(1, 10);
    set.SetFrameCount(2, 20);
    set.SetFrameCount(4, 5);
    EXPECT_EQ(set.KeysInUse(), 2);
    for (int k = 1; k <= kMaxKeys; ++k) set.SetFrameCount(k, 1);
    EXPECT_EQ(set.KeysInUse(), 16);
    set.SetFrameCount(1, 0);
    EXPECT_EQ(set.KeysInUse(), 0);
    set.SetFrameCount(17, 3);  // no such key: ignored
    set.SetFrameCount(0, 3);
    EXPECT_EQ(set.frameCount[0], 0);
}

TEST(AnimationSetTest, ClearGivesIdentityOriginAndZeroCounts) {
    AnimationSet set;
    set.keyOrientation[3][7] = {1, 0, 0, 0};
    set.keyPosition[15][99] = {1, 2, 3};
    set.frameCount[5] = 9;
    set.ClearAnimation();
    EXPECT_EQ(set.keyOrientation[3][7], (gfx::Quat{0, 0, 0, 1}));
    EXPECT_EQ(set.keyPosition[15][99], (gfx::Vec3{0, 0, 0}));
    EXPECT_EQ(set.frameCount[5], 0);
}

TEST(AnimationSetTest, StoreThenFetchLeavesTheLivePoseUnchanged) {
    auto parts = std::make_unique<PartTable>();
    parts->node[0].SetScale(2.0f);
    parts->node[1].parent = &parts->node[0];
    parts->node[1].SetOrientation(gfx::QuaternionRotationAxis({1, 1, 0}, 0.7f));
    parts->node[1].SetPosition({3, -1, 2});
    AnimationSet set;
    set.ClearAnimation();
    set.StoreKey(4, *parts);
    const gfx::Matrix before = parts->node[1].local;
    set.FetchKey(4, *parts);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(parts->node[1].local.m[r][c], before.m[r][c], 1e-5) << r << c;
        }
    }
    const gfx::Vec3 stored = set.keyPosition[3][1];
    EXPECT_NEAR(stored.x, 3, 1e-5);
    EXPECT_NEAR(stored.y, -1, 1e-5);
    EXPECT_NEAR(stored.z, 2, 1e-5);
}

}  // namespace
}  // namespace model
