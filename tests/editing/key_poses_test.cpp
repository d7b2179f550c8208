// Keys stored from and fetched into the part scene's nodes.

#include "editing/key_poses.h"

#include <gtest/gtest.h>

#include <memory>

#include "gfx/math/math.h"

namespace editing {
namespace {

using model::AnimationSet;

TEST(KeyPosesTest, StoreThenFetchLeavesTheLivePoseUnchanged) {
    auto scene = std::make_unique<PartScene>();
    scene->node[0].SetScale(2.0f);
    scene->node[1].parent = &scene->node[0];
    scene->node[1].SetOrientation(gfx::QuaternionRotationAxis({1, 1, 0}, 0.7f));
    scene->node[1].SetPosition({3, -1, 2});
    AnimationSet set;
    set.ClearAnimation();
    StoreKey(set, 4, *scene);
    const gfx::Matrix before = scene->node[1].local;
    FetchKey(set, 4, *scene);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(scene->node[1].local.m[r][c], before.m[r][c], 1e-5) << r << c;
        }
    }
    const gfx::Vec3 stored = set.keyPosition[3][1];
    EXPECT_NEAR(stored.x, 3, 1e-5);
    EXPECT_NEAR(stored.y, -1, 1e-5);
    EXPECT_NEAR(stored.z, 2, 1e-5);
}

}  // namespace
}  // namespace editing
