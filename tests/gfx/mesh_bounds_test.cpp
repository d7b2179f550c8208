#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/mesh/mesh.h"

namespace gfx {
namespace {

// Positions interleaved with a 12-byte filler of huge values, so a wrong stride shows.
std::vector<std::byte> Interleaved(const std::vector<Vec3>& positions) {
    std::vector<std::byte> bytes(positions.size() * 24);
    const Vec3 filler{1e30f, -1e30f, 1e30f};
    for (std::size_t i = 0; i < positions.size(); ++i) {
        std::memcpy(bytes.data() + i * 24, &positions[i], 12);
        std::memcpy(bytes.data() + i * 24 + 12, &filler, 12);
    }
    return bytes;
}

TEST(MeshBounds, BoxIsComponentwiseMinAndMax) {
    const auto bytes = Interleaved({{1, -2, 3}, {-4, 5, 0.5f}, {2, 0, -6}});
    Vec3 min, max;
    ComputeBoundingBox(bytes.data(), 3, 24, &min, &max);
    EXPECT_EQ(min, (Vec3{-4, -2, -6}));
    EXPECT_EQ(max, (Vec3{2, 5, 3}));

    ComputeBoundingBox(bytes.data(), 1, 24, &min, &max);
    EXPECT_EQ(min, (Vec3{1, -2, 3}));
    EXPECT_EQ(max, (Vec3{1, -2, 3}));
}

TEST(MeshBounds, SphereCentreIsTheMeanAndRadiusTheFarthestPoint) {
    // Mean of (0,0,0) x3 and (4,0,0) is (1,0,0); the farthest point is 3 away.
    const auto lopsided = Interleaved({{0, 0, 0}, {4, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    Vec3 centre;
    float radius = 0;
    ComputeBoundingSphere(lopsided.data(), 4, 24, &centre, &radius);
    EXPECT_EQ(centre, (Vec3{1, 0, 0}));
    EXPECT_FLOAT_EQ(radius, 3);

    const auto cross = Interleaved({{1, 10, -5}, {-1, 10, -5}, {0, 12, -5}, {0, 8, -5}});
    ComputeBoundingSphere(cross.data(), 4, 24, &centre, &radius);
    EXPECT_EQ(centre, (Vec3{0, 10, -5}));
    EXPECT_FLOAT_EQ(radius, 2);

    ComputeBoundingSphere(cross.data(), 1, 24, &centre, &radius);
    EXPECT_EQ(centre, (Vec3{1, 10, -5}));
    EXPECT_EQ(radius, 0);
}

TEST(MeshBounds, SphereEnclosesEveryPointOfFarOffMesh) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> offset(-1, 1);
    std::vector<Vec3> points(5000);
    for (auto& p : points) p = {1000 + offset(random), -2000 + offset(random), offset(random)};
    const auto bytes = Interleaved(points);
    Vec3 centre;
    float radius = 0;
    ComputeBoundingSphere(bytes.data(), 5000, 24, &centre, &radius);
    double sx = 0, sy = 0, sz = 0, farthest = 0;
    for (const Vec3& p : points) sx += p.x, sy += p.y, sz += p.z;
    EXPECT_NEAR(centre.x, sx / 5000, 1e-4);
    EXPECT_NEAR(centre.y, sy / 5000, 1e-4);
    EXPECT_NEAR(centre.z, sz / 5000, 1e-6);
    for (const Vec3& p : points) {
        const double dx = p.x - double{centre.x}, dy = p.y - double{centre.y},
                     dz = p.z - double{centre.z};
        farthest = std::max(farthest, std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    EXPECT_GE(double{radius}, farthest);
    EXPECT_NEAR(radius, farthest, 1e-5);
}

TEST(MeshBounds, NoVerticesGiveZeroBounds) {
    const auto bytes = Interleaved({{3, 4, 5}});
    Vec3 min{9, 9, 9}, max{9, 9, 9}, centre{9, 9, 9};
    float radius = 9;
    ComputeBoundingBox(bytes.data(), 0, 24, &min, &max);
    ComputeBoundingSphere(bytes.data(), 0, 24, &centre, &radius);
    EXPECT_EQ(min, Vec3{});
    EXPECT_EQ(max, Vec3{});
    EXPECT_EQ(centre, Vec3{});
    EXPECT_EQ(radius, 0);
}

}  // namespace
}  // namespace gfx
