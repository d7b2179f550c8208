// The outline's worker pool: silhouettes worked out there equal, line for line and in order,
// those worked out on the caller's thread, whatever the number of workers and the view.

#include "scene/silhouette_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "framework/texture_cache.h"
#include "gfx/math/math.h"
#include "scene/mesh_object.h"

namespace scene {
namespace {

using Need = MeshObject::SilhouetteNeed;
using Lines = std::vector<std::uint16_t>;

const std::array<const char*, 12> kRobotParts = {"body.x",        "head.x",        "upper_arm_l.x",
                                                 "lower_arm_l.x", "hand_l.x",      "upper_arm_r.x",
                                                 "lower_arm_r.x", "hand_r.x",      "upper_leg_l.x",
                                                 "lower_leg_l.x", "upper_leg_r.x", "lower_leg_r.x"};

// The sample robot's parts, each loaded with outline data and placed on a row, turned a little.
struct Robot {
    explicit Robot(framework::TextureCache& textures) {
        const std::string folder = std::string(POSEWRIGHTER_TEST_DATA) + "/../../samples/robot/";
        for (std::size_t i = 0; i < kRobotParts.size(); ++i) {
            meshes[i] = std::make_unique<MeshObject>();
            loaded = loaded &&
                     meshes[i]->LoadFromFile(textures, folder + kRobotParts[i], 0, true, 1).ok();
            world[i] = gfx::MatrixMultiply(
                gfx::MatrixRotationY(0.3f * static_cast<float>(i)),
                gfx::MatrixTranslation(0.4f * static_cast<float>(i) - 2.0f, 0, 0));
        }
    }
    std::array<std::unique_ptr<MeshObject>, kRobotParts.size()> meshes;
    std::array<gfx::Matrix, kRobotParts.size()> world;
    bool loaded = true;
};

Lines LinesOf(const MeshObject& mesh) {
    return Lines(
        mesh.outlineEnds.begin(),
        mesh.outlineEnds.begin() + static_cast<std::ptrdiff_t>(mesh.OutlineLineCount() * 2));
}

// A camera on a circle round the row, above or below it; view 5 stands far along the row, so
// that the parts at its other end are 15 units or more away.
gfx::Matrix ViewFrom(int view) {
    if (view == 5) return gfx::MatrixLookAtLH({14, 1, -3}, {0, 0, 0}, {0, 1, 0});
    const float angle = 0.9f * static_cast<float>(view);
    const gfx::Vec3 eye{6 * std::sin(angle), view % 2 == 0 ? 3.0f : -2.0f, -6 * std::cos(angle)};
    return gfx::MatrixLookAtLH(eye, {0, 1, 0}, {0, 1, 0});
}

const gfx::Matrix kProjection = gfx::MatrixPerspectiveFovLH(0.8f, 4.0f / 3.0f, 0.1f, 100.0f);

class SilhouettePoolTest : public ::testing::TestWithParam<unsigned> {
  protected:
    framework::TextureCache textures_;
};

TEST_P(SilhouettePoolTest, PooledSilhouettesEqualOneThreadOnesForEveryPartAndView) {
    Robot alone(textures_), pooled(textures_);
    ASSERT_TRUE(alone.loaded && pooled.loaded);
    auto owned = std::make_unique<SilhouettePool>(GetParam());
    SilhouettePool& pool = *owned;
    ASSERT_EQ(pool.Workers(), GetParam());
    pool.Start();  // an empty batch
    pool.Finish();
    std::size_t outlined = 0;
    // View 2 twice: the second time every silhouette is kept, and none is listed.
    int previous = -1;
    for (const int view : {0, 1, 2, 2, 3, 4, 5}) {
        const bool again = view == previous;
        previous = view;
        const gfx::Matrix camera = ViewFrom(view);
        std::array<Need, kRobotParts.size()> needs{};
        for (std::size_t i = 0; i < kRobotParts.size(); ++i) {
            needs[i] = pooled.meshes[i]->PrepareSilhouette(pooled.world[i], camera, kProjection);
            if (needs[i] == Need::kWork) pool.Add(*pooled.meshes[i]);
        }
        pool.Start();
        std::size_t place = 0;
        for (std::size_t i = 0; i < kRobotParts.size(); ++i) {
            MeshObject& reference = *alone.meshes[i];
            const Need need = reference.PrepareSilhouette(alone.world[i], camera, kProjection);
            ASSERT_EQ(needs[i], need) << kRobotParts[i] << " view " << view;
            if (need == Need::kNone) continue;
            EXPECT_EQ(need, again ? Need::kKept : Need::kWork) << kRobotParts[i] << " " << view;
            if (need == Need::kWork) {
                reference.WorkOutSilhouette();
                pool.Wait(place++);
            }
            EXPECT_EQ(LinesOf(*pooled.meshes[i]), LinesOf(reference))
                << kRobotParts[i] << " view " << view;
            outlined += reference.OutlineLineCount() > 0 ? 1 : 0;
        }
        pool.Finish();
        // Only the near view leaves parts out (15 units or more away).
        EXPECT_EQ(std::count(needs.begin(), needs.end(), Need::kNone) > 0, view == 5) << view;
    }
    EXPECT_GT(outlined, kRobotParts.size() * 5);

    // A batch nobody waits for is finished when the pool ends.
    for (std::size_t i = 0; i < kRobotParts.size(); ++i) {
        ASSERT_EQ(alone.meshes[i]->PrepareSilhouette(alone.world[i], ViewFrom(6), kProjection),
                  Need::kWork);
        alone.meshes[i]->WorkOutSilhouette();
        ASSERT_EQ(pooled.meshes[i]->PrepareSilhouette(pooled.world[i], ViewFrom(6), kProjection),
                  Need::kWork);
        pool.Add(*pooled.meshes[i]);
    }
    pool.Start();
    owned.reset();
    for (std::size_t i = 0; i < kRobotParts.size(); ++i) {
        EXPECT_EQ(LinesOf(*pooled.meshes[i]), LinesOf(*alone.meshes[i])) << kRobotParts[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Workers, SilhouettePoolTest, ::testing::Values(0u, 1u, 3u));

}  // namespace
}  // namespace scene
