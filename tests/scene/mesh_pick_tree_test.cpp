// Picks through the face tree built at load against picks that try every face: random meshes,
// random rays, the same answers to the bit.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "framework/texture_cache.h"
#include "gfx/math/math.h"
#include "scene/mesh_object.h"
#include "scene/transform_node.h"

namespace scene {
namespace {

namespace fs = std::filesystem;

struct Soup {
    std::vector<gfx::Vec3> positions;
    std::vector<std::array<int, 3>> faces;
};

// Loose triangles in a 4-unit box, some of them tiny or long and thin.
Soup RandomTriangles(std::mt19937& random, int count) {
    std::uniform_real_distribution<float> coordinate(-2.0f, 2.0f), size(0.01f, 1.5f);
    Soup soup;
    for (int i = 0; i < count; ++i) {
        const gfx::Vec3 a{coordinate(random), coordinate(random), coordinate(random)};
        const float s = size(random);
        const int base = static_cast<int>(soup.positions.size());
        soup.positions.push_back(a);
        soup.positions.push_back(a + gfx::Vec3{s * coordinate(random), s * coordinate(random), 0});
        soup.positions.push_back(a + gfx::Vec3{0, s * coordinate(random), s * coordinate(random)});
        soup.faces.push_back({base, base + 1, base + 2});
    }
    return soup;
}

// A bumpy grid sharing its vertices; with `twice` every face is there two times over, so that
// equal distances must resolve the same way.
Soup RandomGrid(std::mt19937& random, int side, bool twice) {
    std::uniform_real_distribution<float> height(-0.3f, 0.3f);
    Soup soup;
    for (int j = 0; j <= side; ++j) {
        for (int i = 0; i <= side; ++i) {
            soup.positions.push_back(
                {0.1f * static_cast<float>(i), height(random), 0.1f * static_cast<float>(j)});
        }
    }
    for (int copy = 0; copy < (twice ? 2 : 1); ++copy) {
        for (int j = 0; j < side; ++j) {
            for (int i = 0; i < side; ++i) {
                const int a = j * (side + 1) + i, b = a + side + 1;
                soup.faces.push_back({a, b, b + 1});
                soup.faces.push_back({a, b + 1, a + 1});
            }
        }
    }
    return soup;
}

std::string XText(const Soup& soup) {
    std::string text =
        "xof 0302txt 0032\nMesh Random {\n" + std::to_string(soup.positions.size()) + ";\n";
    char number[96];
    for (std::size_t v = 0; v < soup.positions.size(); ++v) {
        const gfx::Vec3 p = soup.positions[v];
        std::snprintf(number, sizeof number, "%.9g;%.9g;%.9g;%s\n", static_cast<double>(p.x),
                      static_cast<double>(p.y), static_cast<double>(p.z),
                      v + 1 < soup.positions.size() ? "," : ";");
        text += number;
    }
    text += std::to_string(soup.faces.size()) + ";\n";
    for (std::size_t f = 0; f < soup.faces.size(); ++f) {
        const auto& c = soup.faces[f];
        text += "3;" + std::to_string(c[0]) + "," + std::to_string(c[1]) + "," +
                std::to_string(c[2]) + (f + 1 < soup.faces.size() ? ";,\n" : ";;\n");
    }
    return text + "}\n";
}

bool SameBits(gfx::Vec3 a, gfx::Vec3 b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(MeshPickTreeTest, TreePicksMatchTryingEveryFace) {
    const fs::path dir = fs::temp_directory_path() / "posewrighter_pick_tree_test";
    fs::create_directories(dir);
    framework::TextureCache textures;
    std::mt19937 random(20261209);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f), spread(-6.0f, 6.0f);
    int hits = 0, rays = 0;
    for (int trial = 0; trial < 12; ++trial) {
        const Soup soup = trial % 3 == 0   ? RandomTriangles(random, 700)
                          : trial % 3 == 1 ? RandomGrid(random, 24, false)
                                           : RandomGrid(random, 16, true);
        const fs::path path = dir / ("mesh" + std::to_string(trial) + ".x");
        std::ofstream(path) << XText(soup);

        MeshObject withTree, everyFace;
        ASSERT_TRUE(withTree.LoadFromFile(textures, path.string(), 0, true, 1));
        ASSERT_NE(withTree.PickTree(), nullptr);
        // The same mesh put in by hand has no tree: every face is tried.
        everyFace.d3dMesh = std::make_unique<gfx::Mesh>(*withTree.d3dMesh);
        ASSERT_EQ(everyFace.PickTree(), nullptr);

        TransformNode a, b;
        const gfx::Vec3 position{spread(random) / 4, spread(random) / 4, spread(random) / 4};
        const float scale = 0.5f + 2 * unit(random);
        const gfx::Vec3 axis{unit(random), unit(random), unit(random) + 0.1f};
        const float angle = 6.0f * unit(random);
        for (TransformNode* node : {&a, &b}) {
            node->Bind(node == &a ? withTree : everyFace, position, scale);
            node->TurnLocalAxis(axis, angle);
        }
        const gfx::Matrix world = a.WorldMatrix();
        const gfx::Mesh& mesh = *withTree.d3dMesh;
        for (int r = 0; r < 300; ++r, ++rays) {
            const gfx::Vec3 origin{spread(random), spread(random), spread(random)};
            gfx::Vec3 direction{spread(random), spread(random), spread(random)};
            if (r % 4 != 0) {
                // Aimed at a point of a face: inside, on an edge or at a corner.
                const auto face = static_cast<std::uint32_t>(random() % mesh.NumFaces());
                const float u = r % 4 == 1 ? unit(random) : (r % 4 == 2 ? 0.0f : 1.0f);
                const float v = r % 4 == 1 ? unit(random) * (1 - u) : 0.0f;
                const auto corner = [&](int k) {
                    return mesh.Position(mesh.Indices()[face * 3 + static_cast<std::size_t>(k)]);
                };
                const gfx::Vec3 target =
                    corner(0) + (corner(1) - corner(0)) * u + (corner(2) - corner(0)) * v;
                direction = gfx::Vec3TransformCoord(target, world) - origin;
            }
            gfx::Vec3 hitTree{9, 9, 9}, hitEvery{9, 9, 9};
            std::array<gfx::Vec3, 3> triangleTree{}, triangleEvery{};
            const bool tree = a.RayHit(origin, direction, hitTree, &triangleTree);
            const bool every = b.RayHit(origin, direction, hitEvery, &triangleEvery);
            ASSERT_EQ(tree, every) << "trial " << trial << " ray " << r;
            EXPECT_TRUE(SameBits(hitTree, hitEvery)) << "trial " << trial << " ray " << r;
            for (int k = 0; k < 3; ++k) EXPECT_TRUE(SameBits(triangleTree[k], triangleEvery[k]));
            hits += tree ? 1 : 0;
        }
    }
    // Enough of the rays hit for the comparison to mean something.
    EXPECT_GT(hits, rays / 5);
    fs::remove_all(dir);
}

TEST(MeshPickTreeTest, NoTreeForMeshesItCannotCover) {
    gfx::Mesh empty;
    EXPECT_FALSE(MeshPickTree(empty).Covers(empty));

    // A position that is not finite: the pick tries every face instead.
    gfx::Mesh broken(1, 3, gfx::kFvfXyz);
    broken.SetPosition(0, {0, 0, 0});
    broken.SetPosition(1, {std::numeric_limits<float>::infinity(), 1, 0});
    broken.SetPosition(2, {1, 0, 0});
    for (int k = 0; k < 3; ++k) broken.Indices()[k] = static_cast<std::uint16_t>(k);
    EXPECT_FALSE(MeshPickTree(broken).Covers(broken));

    // Faces naming missing vertices are left out; a mesh of nothing else has no tree.
    gfx::Mesh dangling(1, 3, gfx::kFvfXyz);
    dangling.Indices()[0] = 7;
    EXPECT_FALSE(MeshPickTree(dangling).Covers(dangling));

    gfx::Mesh box = gfx::CreateBox(1, 1, 1).value();
    EXPECT_TRUE(MeshPickTree(box).Covers(box));
}

// The tree must narrow a pick down, in file order and in the optimiser's order alike: a ray
// straight down through a 100 x 100 grid may meet a handful of leaves, not a share of the faces.
TEST(MeshPickTreeTest, ARayMeetsFewOfAGridsFaces) {
    constexpr int kSide = 100;
    gfx::Mesh grid(2 * kSide * kSide, (kSide + 1) * (kSide + 1), gfx::kFvfXyz);
    for (int j = 0; j <= kSide; ++j) {
        for (int i = 0; i <= kSide; ++i) {
            grid.SetPosition(static_cast<std::uint32_t>(j * (kSide + 1) + i),
                             {static_cast<float>(i), 0, static_cast<float>(j)});
        }
    }
    std::uint16_t* index = grid.Indices().data();
    for (int j = 0; j < kSide; ++j) {
        for (int i = 0; i < kSide; ++i) {
            const auto a = static_cast<std::uint16_t>(j * (kSide + 1) + i);
            const auto b = static_cast<std::uint16_t>(a + kSide + 1);
            for (const std::uint16_t corner :
                 {a, b, std::uint16_t(b + 1), a, std::uint16_t(b + 1), std::uint16_t(a + 1)}) {
                *index++ = corner;
            }
        }
    }
    const gfx::Mesh optimized =
        grid.Optimize(gfx::kMeshOptCompact | gfx::kMeshOptVertexCache, {}).value();
    for (const gfx::Mesh* mesh : std::array<const gfx::Mesh*, 2>{&grid, &optimized}) {
        const MeshPickTree tree(*mesh);
        ASSERT_TRUE(tree.Covers(*mesh));
        std::vector<std::uint32_t> candidates;
        tree.ForEachCandidate({37.3f, 5, 61.8f}, {0, -1, 0},
                              [&](std::uint32_t face) { candidates.push_back(face); });
        // The two faces of the cell the ray goes through are among them.
        const std::uint16_t* corners = mesh->Indices().data();
        int inCell = 0;
        for (const std::uint32_t face : candidates) {
            float lowX = 1e9f, lowZ = 1e9f;
            for (int k = 0; k < 3; ++k) {
                const gfx::Vec3 p =
                    mesh->Position(corners[face * 3 + static_cast<std::uint32_t>(k)]);
                lowX = std::min(lowX, p.x);
                lowZ = std::min(lowZ, p.z);
            }
            inCell += lowX == 37 && lowZ == 61 ? 1 : 0;
        }
        EXPECT_EQ(inCell, 2);
        EXPECT_LE(candidates.size(), 64u) << "of " << mesh->NumFaces() << " faces";
    }
}

}  // namespace
}  // namespace scene
