#include "scene/mesh_outline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "gfx/xfile/xfile.h"

namespace scene {
namespace {

constexpr std::uint32_t N = kNoFace;

// Faces chosen to exercise every rule: a non-manifold edge (1-2 carried by faces 0, 1, 3, 4),
// a duplicate face (4 repeats 0), a face with two equal corners (5) and one with three (6).
const std::vector<std::uint16_t> kTricky = {
    0, 1, 2,  // 0
    1, 3, 2,  // 1
    0, 2, 4,  // 2
    2, 1, 5,  // 3
    0, 1, 2,  // 4
    0, 0, 4,  // 5
    7, 7, 7,  // 6
};

// Worked out by hand: across each edge, the last face holding both of its corners but not the
// face's third corner. Face 5's only edge joins its two 0 corners: the last face holding 0 but
// not 4 is face 4.
const FaceNeighbours kTrickyNeighbours = {
    N, 3, 2,  // 0: 0-1 only in duplicates of itself; 1-2 last in 3; 2-0 without 1 only in 2
    N, N, 4,  // 1: 2-1 without 3 in 0, 3, 4
    4, N, 5,  // 2: 0-2 without 4 in 0, 4; 4-0 without 2 only in 5
    4, N, N,  // 3: 2-1 without 5 in 0, 1, 4
    N, 3, 2,  // 4: as face 0
    4, N, N,  // 5
    N, N, N,  // 6
};

TEST(MeshOutlineTest, BothSearchesFollowTheRuleOnHandWorkedFaces) {
    EXPECT_EQ(FindFaceNeighboursAllPairs(kTricky), kTrickyNeighbours);
    EXPECT_EQ(FindFaceNeighbours(kTricky), kTrickyNeighbours);
}

TEST(MeshOutlineTest, EveryCornerPatternOfADegenerateFaceUsesTheEdgeBetweenItsEqualCorners) {
    // The same degenerate face written three ways, beside a face holding 0 and 1.
    for (const std::vector<std::uint16_t>& degenerate :
         {std::vector<std::uint16_t>{0, 0, 2}, {0, 2, 0}, {2, 0, 0}}) {
        std::vector<std::uint16_t> indices = {0, 1, 3};
        indices.insert(indices.end(), degenerate.begin(), degenerate.end());
        const FaceNeighbours expected = FindFaceNeighboursAllPairs(indices);
        EXPECT_EQ(FindFaceNeighbours(indices), expected);
        // Only one edge of the degenerate face has a neighbour: face 0.
        int found = 0;
        for (int k = 0; k < 3; ++k) found += expected[3 + k] == 0 ? 1 : 0;
        EXPECT_EQ(found, 1);
    }
}

TEST(MeshOutlineTest, EmptyAndPartialFaceListsGiveNoNeighbours) {
    EXPECT_TRUE(FindFaceNeighbours({}).empty());
    // A trailing partial face is ignored.
    const std::vector<std::uint16_t> indices = {0, 1, 2, 0, 2, 3, 1};
    EXPECT_EQ(FindFaceNeighbours(indices), (FaceNeighbours{N, N, 1, 0, N, N}));
    EXPECT_EQ(FindFaceNeighboursAllPairs(indices), FindFaceNeighbours(indices));
}

TEST(MeshOutlineTest, LinearSearchMatchesAllPairsOnRandomMeshes) {
    std::mt19937 random(12345);
    // Few vertices give many shared edges, duplicates and degenerate faces; more give sparse
    // meshes with open borders.
    for (const int vertexRange : {3, 5, 8, 20, 200}) {
        for (int trial = 0; trial < 40; ++trial) {
            std::uniform_int_distribution<int> faceCount(0, 80);
            std::uniform_int_distribution<int> vertex(0, vertexRange - 1);
            std::vector<std::uint16_t> indices(static_cast<std::size_t>(faceCount(random)) * 3);
            for (auto& index : indices) index = static_cast<std::uint16_t>(vertex(random));
            ASSERT_EQ(FindFaceNeighbours(indices), FindFaceNeighboursAllPairs(indices))
                << "vertex range " << vertexRange << ", trial " << trial;
        }
    }
}

TEST(MeshOutlineTest, LinearSearchMatchesAllPairsOnHighVertexIndices) {
    // Indices near the top of the 16-bit range (the search keys pack two indices).
    const std::vector<std::uint16_t> indices = {65535, 65534, 0, 0,     65534, 65533,
                                                65535, 65535, 0, 65533, 65534, 65535};
    EXPECT_EQ(FindFaceNeighbours(indices), FindFaceNeighboursAllPairs(indices));
}

TEST(MeshOutlineTest, LinearSearchMatchesAllPairsOnFixtureMeshes) {
    const std::string data = POSEWRIGHTER_TEST_DATA;
    int checked = 0;
    for (const std::string folder : {"/scene", "/x", "/cli", "/model"}) {
        if (!std::filesystem::exists(data + folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(data + folder)) {
            // Text files only: the other encodings of a fixture hold the same mesh.
            if (entry.path().extension() != ".x" || entry.path().stem().has_extension()) continue;
            gfx::Result<gfx::LoadedMesh> loaded = gfx::LoadMeshFromX(entry.path().string());
            if (!loaded) continue;  // fixtures of malformed files
            const auto indices = loaded->mesh.Indices();
            EXPECT_EQ(FindFaceNeighbours(indices), FindFaceNeighboursAllPairs(indices))
                << entry.path();
            ++checked;
        }
    }
    EXPECT_GE(checked, 5);
}

TEST(MeshOutlineTest, PlaneFixedRoundsHalvesAwayFromZeroAndHoldsItsRange) {
    const double unit = OutlineData::kPlaneUnit;
    const struct {
        double value;
        std::int16_t fixed;
    } cases[] = {
        {0.0, 0},        {-0.0, 0},         {0.5 / unit, 1},     {-0.5 / unit, -1}, {1.5 / unit, 2},
        {2.5 / unit, 3}, {-2.5 / unit, -3}, {1.0, 32767},        {-1.0, -32767},    {1.5, 32767},
        {-1.5, -32767},  {HUGE_VAL, 32767}, {-HUGE_VAL, -32767}, {std::nan(""), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(PlaneFixed(c.value), c.fixed) << c.value;
    // Everywhere else as std::round and the clamp give it.
    std::mt19937 random(3);
    std::uniform_real_distribution<double> any(-1.01, 1.01);
    for (int i = 0; i < 100000; ++i) {
        const double value = any(random);
        const double expected = std::clamp(std::round(value * unit), -32767.0, 32767.0);
        ASSERT_EQ(PlaneFixed(value), static_cast<std::int16_t>(expected)) << value;
    }
}

}  // namespace
}  // namespace scene
