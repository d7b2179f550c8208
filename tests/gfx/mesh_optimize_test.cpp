#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "gfx/mesh/mesh.h"
#include "mesh_test_util.h"

namespace gfx {
namespace {

using testing::MakeMesh;
using testing::Tri;

constexpr std::uint32_t kFormat = kFvfXyz | kFvfNormal | kFvfTex1;

// A face as the renderer sees it: its attribute and its corners' vertex bytes, rotated so the
// smallest corner comes first (the same triangle, same winding, whatever the first corner).
struct FaceData {
    std::uint32_t attribute;
    std::array<std::vector<std::byte>, 3> corners;
    auto operator<=>(const FaceData&) const = default;
};

std::vector<FaceData> Faces(const Mesh& mesh) {
    std::vector<FaceData> faces;
    const std::uint32_t stride = mesh.BytesPerVertex();
    for (std::uint32_t f = 0; f < mesh.NumFaces(); ++f) {
        FaceData face{mesh.Attributes()[f], {}};
        for (int k = 0; k < 3; ++k) {
            const auto bytes = mesh.Vertices().subspan(mesh.Indices()[f * 3 + k] * stride, stride);
            face.corners[k].assign(bytes.begin(), bytes.end());
        }
        const auto smallest = std::min_element(face.corners.begin(), face.corners.end());
        std::rotate(face.corners.begin(), smallest, face.corners.end());
        faces.push_back(std::move(face));
    }
    return faces;
}

std::vector<FaceData> SortedFaces(const Mesh& mesh) {
    auto faces = Faces(mesh);
    std::sort(faces.begin(), faces.end());
    return faces;
}

std::size_t UsedVertexCount(const Mesh& mesh) {
    return std::set<std::uint16_t>(mesh.Indices().begin(), mesh.Indices().end()).size();
}

// Random faces over 120 vertices with unique data, of which at most the first 100 are used;
// the attribute ids (0, 3, 7, 9) are interleaved.
Mesh RandomMesh(std::mt19937& random) {
    std::uniform_real_distribution<float> value(-10, 10);
    std::vector<Vec3> positions(120);
    for (auto& p : positions) p = {value(random), value(random), value(random)};
    std::uniform_int_distribution<int> vertex(0, 99), pick(0, 3);
    const std::uint32_t ids[] = {0, 3, 7, 9};
    std::vector<Tri> faces(150);
    for (auto& face : faces) {
        face = {static_cast<std::uint16_t>(vertex(random)),
                static_cast<std::uint16_t>(vertex(random)),
                static_cast<std::uint16_t>(vertex(random)), ids[pick(random)]};
    }
    Mesh mesh = MakeMesh(positions, faces, kFormat);
    for (std::uint32_t v = 0; v < 120; ++v) {
        mesh.SetNormal(v, {value(random), value(random), value(random)});
        mesh.SetTexCoord(v, {value(random), value(random)});
    }
    return mesh;
}

void ExpectValidAttributeTable(const Mesh& mesh) {
    const auto& table = mesh.AttributeTable();
    std::uint32_t nextFace = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const AttributeRange& range = table[i];
        if (i > 0) {
            EXPECT_GT(range.attribId, table[i - 1].attribId);
        }
        EXPECT_EQ(range.faceStart, nextFace);
        EXPECT_GT(range.faceCount, 0u);
        nextFace += range.faceCount;
        std::uint32_t low = 0xFFFF, high = 0;
        for (std::uint32_t f = range.faceStart; f < range.faceStart + range.faceCount; ++f) {
            EXPECT_EQ(mesh.Attributes()[f], range.attribId);
            for (int k = 0; k < 3; ++k) {
                low = std::min<std::uint32_t>(low, mesh.Indices()[f * 3 + k]);
                high = std::max<std::uint32_t>(high, mesh.Indices()[f * 3 + k]);
            }
        }
        EXPECT_EQ(range.vertexStart, low) << "attribute " << range.attribId;
        EXPECT_EQ(range.vertexCount, high - low + 1) << "attribute " << range.attribId;
    }
    EXPECT_EQ(nextFace, mesh.NumFaces());
}

TEST(MeshOptimize, EveryFlagCombinationKeepsTheSameTriangles) {
    std::mt19937 random(99);
    for (int round = 0; round < 5; ++round) {
        const Mesh source = RandomMesh(random);
        const auto adjacency = source.GenerateAdjacency(0);
        const std::size_t used = UsedVertexCount(source);
        ASSERT_LE(used, 100u);
        for (std::uint32_t flags = 0; flags < 8; ++flags) {
            SCOPED_TRACE(::testing::Message() << "flags " << flags);
            auto result =
                source.Optimize(flags, flags % 2 ? adjacency : std::vector<std::uint32_t>{});
            ASSERT_TRUE(result.ok()) << result.error();
            EXPECT_EQ(result->Fvf(), kFormat);
            EXPECT_EQ(SortedFaces(*result), SortedFaces(source));
            EXPECT_EQ(result->NumVertices(), flags & kMeshOptCompact ? used : 120u);
            EXPECT_EQ(UsedVertexCount(*result), used);
            if (flags & (kMeshOptAttrSort | kMeshOptVertexCache)) {
                ASSERT_EQ(result->AttributeTable().size(), 4u);
                ExpectValidAttributeTable(*result);
            } else {
                EXPECT_TRUE(result->AttributeTable().empty());
            }
        }
    }
}

TEST(MeshOptimize, AttributeSortIsStableAndNumbersVerticesInFirstUseOrder) {
    std::mt19937 random(7);
    const Mesh source = RandomMesh(random);
    auto sorted = source.Optimize(kMeshOptAttrSort, {});
    ASSERT_TRUE(sorted.ok()) << sorted.error();
    auto expected = Faces(source);
    std::stable_sort(expected.begin(), expected.end(), [](const FaceData& a, const FaceData& b) {
        return a.attribute < b.attribute;
    });
    EXPECT_EQ(Faces(*sorted), expected);

    std::uint32_t nextNew = 0;
    for (const std::uint16_t index : sorted->Indices()) {
        ASSERT_LE(index, nextNew);
        if (index == nextNew) ++nextNew;
    }
}

TEST(MeshOptimize, AttributeSortMakesUnsharedSubsetsContiguous) {
    // Two quads with their own vertices, interleaved in the buffer (even vertices belong to
    // attribute 2, odd ones to attribute 1) and faces interleaved too.
    const std::vector<Vec3> positions = {{0, 0, 0}, {5, 0, 0}, {1, 0, 0}, {6, 0, 0},
                                         {1, 1, 0}, {6, 1, 0}, {0, 1, 0}, {5, 1, 0}};
    const Mesh source =
        MakeMesh(positions, {{0, 2, 4, 2}, {1, 3, 5, 1}, {0, 4, 6, 2}, {1, 5, 7, 1}}, kFormat);
    auto sorted = source.Optimize(kMeshOptAttrSort, {});
    ASSERT_TRUE(sorted.ok()) << sorted.error();
    const std::vector<AttributeRange> expected = {{1, 0, 2, 0, 4}, {2, 2, 2, 4, 4}};
    EXPECT_EQ(sorted->AttributeTable(), expected);
    EXPECT_EQ(SortedFaces(*sorted), SortedFaces(source));
}

// Misses per triangle of a 16-entry FIFO cache.
double MissesPerTriangle(const Mesh& mesh) {
    std::deque<std::uint16_t> cache;
    int misses = 0;
    for (const std::uint16_t index : mesh.Indices()) {
        if (std::find(cache.begin(), cache.end(), index) != cache.end()) continue;
        ++misses;
        cache.push_back(index);
        if (cache.size() > 16) cache.pop_front();
    }
    return static_cast<double>(misses) / mesh.NumFaces();
}

TEST(MeshOptimize, VertexCacheOrderCutsCacheMissesOfShuffledGrid) {
    // A 24 x 24 grid of shared vertices with its faces shuffled and split over two attributes
    // (left and right halves).
    const int n = 24;
    std::vector<Vec3> positions;
    for (int j = 0; j <= n; ++j) {
        for (int i = 0; i <= n; ++i) positions.push_back({float(i), float(j), 0});
    }
    std::vector<Tri> faces;
    auto at = [&](int i, int j) { return static_cast<std::uint16_t>(j * (n + 1) + i); };
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const std::uint32_t attribute = i < n / 2 ? 0 : 1;
            faces.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1), attribute});
            faces.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1), attribute});
        }
    }
    std::mt19937 random(5);
    std::shuffle(faces.begin(), faces.end(), random);
    const Mesh source = MakeMesh(positions, faces);
    ASSERT_GT(MissesPerTriangle(source), 2.0);

    auto optimized = source.Optimize(kMeshOptVertexCache, {});
    ASSERT_TRUE(optimized.ok()) << optimized.error();
    EXPECT_LT(MissesPerTriangle(*optimized), 1.0);
    EXPECT_EQ(SortedFaces(*optimized), SortedFaces(source));
    ASSERT_EQ(optimized->AttributeTable().size(), 2u);
    ExpectValidAttributeTable(*optimized);
    std::uint32_t nextNew = 0;
    for (const std::uint16_t index : optimized->Indices()) {
        ASSERT_LE(index, nextNew);
        if (index == nextNew) ++nextNew;
    }
}

TEST(MeshOptimize, SubsetWithAVertexOnTensOfThousandsOfFacesKeepsEqualFacesInOrder) {
    // Attribute 0: one triangle 30,000 times over, the two windings alternating in blocks
    // (equal faces come out in their order, and the ordering ends in a blink there);
    // attribute 1: a shuffled 10 x 10 grid, which gets the cache order.
    std::vector<Vec3> positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    std::vector<Tri> faces;
    for (int f = 0; f < 30000; ++f) {
        faces.push_back((f / 7) % 2 == 0 ? Tri{0, 1, 2, 0} : Tri{1, 0, 2, 0});
    }
    const int n = 10;
    for (int j = 0; j <= n; ++j) {
        for (int i = 0; i <= n; ++i) positions.push_back({float(i), float(j), 1});
    }
    auto at = [&](int i, int j) { return static_cast<std::uint16_t>(3 + j * (n + 1) + i); };
    std::vector<Tri> grid;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            grid.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1), 1});
            grid.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1), 1});
        }
    }
    std::mt19937 random(11);
    std::shuffle(grid.begin(), grid.end(), random);
    faces.insert(faces.end(), grid.begin(), grid.end());
    const Mesh source = MakeMesh(positions, faces);

    auto optimized = source.Optimize(kMeshOptVertexCache, {});
    ASSERT_TRUE(optimized.ok()) << optimized.error();
    const std::vector<FaceData> before = Faces(source), after = Faces(*optimized);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + 30000, before.begin()));
    EXPECT_FALSE(std::equal(after.begin() + 30000, after.end(), before.begin() + 30000));
    EXPECT_EQ(SortedFaces(*optimized), SortedFaces(source));
    ExpectValidAttributeTable(*optimized);
}

TEST(MeshOptimize, CompactWithoutSortKeepsOrderAndRefreshesTheTable) {
    // Vertices 0, 2 and 5 are unused.
    Mesh source =
        MakeMesh({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}, {6, 0, 0}},
                 {{1, 3, 4, 0}, {4, 6, 3, 1}});
    source.SetAttributeTable({{0, 0, 1, 1, 4}, {1, 1, 1, 3, 4}});
    auto compact = source.Optimize(kMeshOptCompact, {});
    ASSERT_TRUE(compact.ok()) << compact.error();
    ASSERT_EQ(compact->NumVertices(), 4u);
    const std::vector<float> xs = {1, 3, 4, 6};
    for (std::uint32_t v = 0; v < 4; ++v) EXPECT_EQ(compact->Position(v).x, xs[v]);
    EXPECT_EQ(std::vector(compact->Indices().begin(), compact->Indices().end()),
              (std::vector<std::uint16_t>{0, 1, 2, 2, 3, 1}));
    const std::vector<AttributeRange> table = {{0, 0, 1, 0, 3}, {1, 1, 1, 1, 3}};
    EXPECT_EQ(compact->AttributeTable(), table);
}

TEST(MeshOptimize, RejectsBadArguments) {
    const Mesh source = MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {2, 1, 0}});
    const std::vector<std::uint32_t> shortAdjacency(5, kNoNeighbour);
    EXPECT_FALSE(source.Optimize(kMeshOptCompact, shortAdjacency).ok());
    const std::vector<std::uint32_t> pastLastFace = {1, kNoNeighbour, kNoNeighbour,
                                                     2, kNoNeighbour, kNoNeighbour};
    EXPECT_FALSE(source.Optimize(kMeshOptCompact, pastLastFace).ok());
    EXPECT_FALSE(source.Optimize(0x1000, {}).ok());

    const Mesh badIndex = MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 3}});
    EXPECT_FALSE(badIndex.Optimize(kMeshOptAttrSort, {}).ok());

    Mesh badTable = MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    badTable.SetAttributeTable({{0, 0, 2, 0, 3}});
    EXPECT_FALSE(badTable.Optimize(kMeshOptCompact, {}).ok());
    // A sort rebuilds the table, so the stale one does not matter then.
    EXPECT_TRUE(badTable.Optimize(kMeshOptAttrSort, {}).ok());
}

TEST(MeshOptimize, EmptyMesh) {
    auto result = Mesh(0, 0, kFvfXyz).Optimize(kMeshOptCompact | kMeshOptVertexCache, {});
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(result->NumFaces(), 0u);
    EXPECT_TRUE(result->AttributeTable().empty());
}

}  // namespace
}  // namespace gfx
