#include "model/animation_set.h"

#include <gtest/gtest.h>

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

TEST(AnimationSetTest, KeysPastTheEndAreThoseHoldingAPoseOrFramesAfterTheKeysInUse) {
    AnimationSet set;
    set.ClearAnimation();
    set.SetFrameCount(1, 10);
    set.keyPosition[1][4] = {0, 0, 1};        // key 2: a pose of part 4, no frames
    set.SetFrameCount(5, 3);                  // key 5: frames only
    set.keyOrientation[7][9] = {0, 1, 0, 0};  // key 8: a pose of part 9
    EXPECT_EQ(set.KeysPastTheEnd(10), (std::vector<int>{2, 5, 8}));
    EXPECT_EQ(set.KeysPastTheEnd(5), (std::vector<int>{2, 5})) << "part 9 is not in the model";
    set.SetFrameCount(2, 4);  // key 2 in use now
    EXPECT_EQ(set.KeysPastTheEnd(10), (std::vector<int>{5, 8}));
}

}  // namespace
}  // namespace model
