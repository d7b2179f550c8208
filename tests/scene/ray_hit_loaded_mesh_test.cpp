// Picking rays against meshes as the .x reader and the mesh object deliver them: optimised,
// with 24- or 32-byte vertices, under a scaled and turned parent.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "framework/texture_cache.h"
#include "gfx/math/math.h"
#include "scene/mesh_object.h"
#include "scene/transform_node.h"

namespace scene {
namespace {

class RayHitLoadedMeshTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(cube_.LoadFromFile(
            cache_, std::string(POSEWRIGHTER_TEST_DATA) + "/model/cube.x", 0, true, 1));
    }
    framework::TextureCache cache_;
    MeshObject cube_;
};

TEST_F(RayHitLoadedMeshTest, HitsTheNearFaceOfTheUnitCubeFromEachSide) {
    TransformNode node;
    node.Bind(cube_, {0, 0, 0}, 1.0f);
    const std::array<std::pair<gfx::Vec3, gfx::Vec3>, 3> rays = {{
        {{0.1f, 0.2f, -5}, {0, 0, 1}},
        {{5, 0.1f, 0.2f}, {-1, 0, 0}},
        {{0.2f, 5, -0.1f}, {0, -2, 0}},  // direction need not be unit length
    }};
    const std::array<gfx::Vec3, 3> expected = {
        {{0.1f, 0.2f, -0.5f}, {0.5f, 0.1f, 0.2f}, {0.2f, 0.5f, -0.1f}}};
    for (std::size_t i = 0; i < rays.size(); ++i) {
        gfx::Vec3 hit;
        ASSERT_TRUE(node.RayHit(rays[i].first, rays[i].second, hit)) << i;
        EXPECT_NEAR(hit.x, expected[i].x, 1e-5) << i;
        EXPECT_NEAR(hit.y, expected[i].y, 1e-5) << i;
        EXPECT_NEAR(hit.z, expected[i].z, 1e-5) << i;
    }
}

TEST_F(RayHitLoadedMeshTest, FollowsAScaledRootAndATurnedChild) {
    MeshObject second;
    ASSERT_TRUE(second.LoadFromFile(cache_, std::string(POSEWRIGHTER_TEST_DATA) + "/model/cube.x",
                                    0, true, 1));
    TransformNode root, child;
    root.Bind(cube_, {0, 0, 0}, 2.0f);  // the model scale lives on the root
    child.parent = &root;
    child.Bind(second, {0, 0, 0}, 1.0f);
    child.SetPosition({6, 0, 0});  // parent-scaled units: 3 local units, 6 world units
    child.TurnLocalY(0.78539816f);
    // The child's cube is 2 world units wide, turned 45 degrees: its corner points at -z.
    gfx::Vec3 hit;
    ASSERT_TRUE(child.RayHit({6, 0, -10}, {0, 0, 1}, hit));
    EXPECT_NEAR(hit.x, 6, 1e-4);
    EXPECT_NEAR(hit.z, -std::sqrt(2.0f), 1e-4);
    // 1.2 units off the centre line the turned cube is still there (its corner reaches
    // sqrt(2)); the unturned root cube, reaching 1, is not.
    ASSERT_TRUE(child.RayHit({7.2f, 0, -10}, {0, 0, 1}, hit));
    EXPECT_NEAR(hit.z, -(std::sqrt(2.0f) - 1.2f), 1e-4);
    EXPECT_FALSE(root.RayHit({1.2f, 0, -10}, {0, 0, 1}, hit));
    EXPECT_TRUE(root.RayHit({0.9f, 0, -10}, {0, 0, 1}, hit));
    EXPECT_NEAR(hit.z, -1, 1e-5);
}

}  // namespace
}  // namespace scene
