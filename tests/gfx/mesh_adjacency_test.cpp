#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "gfx/mesh/mesh.h"
#include "mesh_test_util.h"

namespace gfx {
namespace {

using testing::MakeMesh;
using testing::Tri;

std::uint32_t Neighbour(const std::vector<std::uint32_t>& adjacency, std::uint32_t face, int edge) {
    return adjacency[face * 3 + edge];
}

// A unit cube with four vertices of its own on every side (as a loader would split them for
// per-side normals): no two faces share a vertex index across a cube edge.
Mesh SplitCube() {
    std::vector<Vec3> positions;
    std::vector<Tri> faces;
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int axis = 0; axis < 3; ++axis) {
        for (float sign : {-1.0f, 1.0f}) {
            const auto base = static_cast<std::uint16_t>(positions.size());
            for (const auto& c : corners) {
                float p[3];
                p[axis] = sign;
                p[(axis + 1) % 3] = c[0];
                p[(axis + 2) % 3] = c[1];
                positions.push_back({p[0], p[1], p[2]});
            }
            faces.push_back(
                {base, static_cast<std::uint16_t>(base + 1), static_cast<std::uint16_t>(base + 2)});
            faces.push_back(
                {base, static_cast<std::uint16_t>(base + 2), static_cast<std::uint16_t>(base + 3)});
        }
    }
    return MakeMesh(positions, faces, kFvfXyz | kFvfNormal);
}

TEST(MeshAdjacency, SplitCubeFacesAllHaveThreeMutualNeighbours) {
    const Mesh cube = SplitCube();
    const auto adjacency = cube.GenerateAdjacency(0);
    ASSERT_EQ(adjacency.size(), 36u);
    for (std::uint32_t f = 0; f < 12; ++f) {
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t g = Neighbour(adjacency, f, k);
            ASSERT_LT(g, 12u) << "face " << f << " edge " << k;
            EXPECT_NE(g, f);
            // The neighbour carries the same two corner positions and points back.
            const Vec3 a = cube.Position(cube.Indices()[f * 3 + k]);
            const Vec3 b = cube.Position(cube.Indices()[f * 3 + (k + 1) % 3]);
            int backLinks = 0;
            for (int j = 0; j < 3; ++j) {
                if (Neighbour(adjacency, g, j) != f) continue;
                ++backLinks;
                const Vec3 c = cube.Position(cube.Indices()[g * 3 + j]);
                const Vec3 d = cube.Position(cube.Indices()[g * 3 + (j + 1) % 3]);
                EXPECT_TRUE((a == c && b == d) || (a == d && b == c));
            }
            EXPECT_EQ(backLinks, 1);
        }
    }
}

// A grid of quads, each with its own four vertices; triangles (p00, p10, p11), (p00, p11, p01).
Mesh SplitGrid(int width, int height) {
    std::vector<Vec3> positions;
    std::vector<Tri> faces;
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const auto base = static_cast<std::uint16_t>(positions.size());
            const float x = static_cast<float>(i) * 0.1f, y = static_cast<float>(j) * 0.1f;
            const float x1 = static_cast<float>(i + 1) * 0.1f;
            const float y1 = static_cast<float>(j + 1) * 0.1f;
            positions.insert(positions.end(), {{x, y, 0}, {x1, y, 0}, {x1, y1, 0}, {x, y1, 0}});
            faces.push_back(
                {base, static_cast<std::uint16_t>(base + 1), static_cast<std::uint16_t>(base + 2)});
            faces.push_back(
                {base, static_cast<std::uint16_t>(base + 2), static_cast<std::uint16_t>(base + 3)});
        }
    }
    return MakeMesh(positions, faces);
}

TEST(MeshAdjacency, OpenGridLinksInteriorEdgesAndLeavesBorderEdgesOpen) {
    const int width = 5, height = 3;
    const auto adjacency = SplitGrid(width, height).GenerateAdjacency(0);
    auto lower = [&](int i, int j) { return static_cast<std::uint32_t>((j * width + i) * 2); };
    auto upper = [&](int i, int j) { return lower(i, j) + 1; };
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            // Lower triangle: bottom edge, right edge, diagonal.
            EXPECT_EQ(Neighbour(adjacency, lower(i, j), 0), j > 0 ? upper(i, j - 1) : kNoNeighbour);
            EXPECT_EQ(Neighbour(adjacency, lower(i, j), 1),
                      i + 1 < width ? upper(i + 1, j) : kNoNeighbour);
            EXPECT_EQ(Neighbour(adjacency, lower(i, j), 2), upper(i, j));
            // Upper triangle: diagonal, top edge, left edge.
            EXPECT_EQ(Neighbour(adjacency, upper(i, j), 0), lower(i, j));
            EXPECT_EQ(Neighbour(adjacency, upper(i, j), 1),
                      j + 1 < height ? lower(i, j + 1) : kNoNeighbour);
            EXPECT_EQ(Neighbour(adjacency, upper(i, j), 2), i > 0 ? lower(i - 1, j) : kNoNeighbour);
        }
    }
}

TEST(MeshAdjacency, EpsilonDecidesWhetherNearbyCornersMeet) {
    // Two triangles whose shared edge is off by 1e-4 in the second copy.
    const Mesh mesh =
        MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1.0001f, 0, 0}, {0, 1.0001f, 0}, {1, 1, 0}},
                 {{0, 1, 2}, {4, 3, 5}});
    const auto exact = mesh.GenerateAdjacency(0);
    EXPECT_EQ(exact, std::vector<std::uint32_t>(6, kNoNeighbour));
    const auto tight = mesh.GenerateAdjacency(1e-5f);
    EXPECT_EQ(tight, std::vector<std::uint32_t>(6, kNoNeighbour));
    const auto loose = mesh.GenerateAdjacency(1e-3f);
    EXPECT_EQ(loose, (std::vector<std::uint32_t>{kNoNeighbour, 1, kNoNeighbour, 0, kNoNeighbour,
                                                 kNoNeighbour}));
}

TEST(MeshAdjacency, NearCornersChainIntoOnePointAndEpsilonItselfCounts) {
    // Vertex 3 (used by no face) is 0.5 from vertex 1; vertex 5 is 0.5 from vertex 3 but 1.0
    // from vertex 1; vertex 6 is 0.25 from vertex 2. With epsilon 0.5, vertices 1, 3 and 5 make
    // one point and face 1 (4, 5, 6) shares the edge 1-2 of face 0.
    const Mesh mesh = MakeMesh(
        {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {4.5f, 0, 0}, {0, 8, 0}, {5, 0, 0}, {0, 4, 0.25f}},
        {{0, 1, 2}, {4, 5, 6}});
    EXPECT_EQ(
        mesh.GenerateAdjacency(0.5f),
        (std::vector<std::uint32_t>{kNoNeighbour, 1, kNoNeighbour, kNoNeighbour, 0, kNoNeighbour}));
    EXPECT_EQ(mesh.GenerateAdjacency(0.49f), std::vector<std::uint32_t>(6, kNoNeighbour));
}

TEST(MeshAdjacency, GridLyingInOnePlaneLinksTheSameWithEpsilon) {
    // Every vertex has z = 0 (and many share x), the worst case for a one-axis sweep.
    const Mesh grid = SplitGrid(20, 20);
    EXPECT_EQ(grid.GenerateAdjacency(1e-4f), grid.GenerateAdjacency(0));
}

TEST(MeshAdjacency, NonFinitePositionsGiveValidEntries) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Mesh mesh =
        MakeMesh({{0, 0, 0}, {inf, 0, 0}, {0, 1, 0}, {nan, 0, 0}, {-inf, nan, inf}, {inf, 0, 0}},
                 {{0, 1, 2}, {2, 5, 0}, {3, 4, 0}, {4, 3, 1}});
    for (const float epsilon : {0.0f, 0.01f, inf}) {
        const auto adjacency = mesh.GenerateAdjacency(epsilon);
        ASSERT_EQ(adjacency.size(), 12u);
        for (const std::uint32_t entry : adjacency) {
            EXPECT_TRUE(entry == kNoNeighbour || entry < 4u);
        }
    }
    // Equal infinite corners are still the same point.
    const auto exact = mesh.GenerateAdjacency(0);
    EXPECT_EQ(Neighbour(exact, 0, 0), 1u);
    EXPECT_EQ(Neighbour(exact, 1, 1), 0u);
}

TEST(MeshAdjacency, NegativeAndPositiveZeroAreTheSamePoint) {
    const Mesh mesh =
        MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {-0.0f, 1, -0.0f}, {-0.0f, 0, 0}, {-1, 0, 0}},
                 {{0, 1, 2}, {3, 4, 5}});
    const auto adjacency = mesh.GenerateAdjacency(0);
    EXPECT_EQ(Neighbour(adjacency, 0, 2), 1u);
    EXPECT_EQ(Neighbour(adjacency, 1, 0), 0u);
}

TEST(MeshAdjacency, EdgeOfTwoFacesLinksThemEvenWithInconsistentWinding) {
    // Both faces run the shared edge from vertex 0 to vertex 1.
    const Mesh mesh =
        MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}}, {{0, 1, 2}, {0, 1, 3}});
    const auto adjacency = mesh.GenerateAdjacency(0);
    EXPECT_EQ(Neighbour(adjacency, 0, 0), 1u);
    EXPECT_EQ(Neighbour(adjacency, 1, 0), 0u);
}

TEST(MeshAdjacency, NonManifoldEdgePairsOppositelyRunningFacesInFaceOrder) {
    // Four fins on the edge from vertex 0 to vertex 1. Faces 0 and 1 run it 0 -> 1, faces 2
    // and 3 run it 1 -> 0: face 0 pairs with face 2, face 1 with face 3.
    const std::vector<Vec3> points = {{0, 0, 0},  {1, 0, 0}, {0, 1, 0},
                                      {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const Mesh four = MakeMesh(points, {{0, 1, 2}, {0, 1, 3}, {1, 0, 4}, {1, 0, 5}});
    const auto adjacency = four.GenerateAdjacency(0);
    EXPECT_EQ(Neighbour(adjacency, 0, 0), 2u);
    EXPECT_EQ(Neighbour(adjacency, 2, 0), 0u);
    EXPECT_EQ(Neighbour(adjacency, 1, 0), 3u);
    EXPECT_EQ(Neighbour(adjacency, 3, 0), 1u);

    // Three fins, two of them 0 -> 1: the second of those has no partner.
    const Mesh three = MakeMesh(points, {{0, 1, 2}, {0, 1, 3}, {1, 0, 4}});
    const auto odd = three.GenerateAdjacency(0);
    EXPECT_EQ(Neighbour(odd, 0, 0), 2u);
    EXPECT_EQ(Neighbour(odd, 2, 0), 0u);
    EXPECT_EQ(Neighbour(odd, 1, 0), kNoNeighbour);

    // Three fins all running the same way: nobody pairs.
    const Mesh same = MakeMesh(points, {{0, 1, 2}, {0, 1, 3}, {0, 1, 4}});
    const auto none = same.GenerateAdjacency(0);
    for (std::uint32_t f = 0; f < 3; ++f) EXPECT_EQ(Neighbour(none, f, 0), kNoNeighbour);
}

TEST(MeshAdjacency, DegenerateAndOutOfRangeFacesTakePartInNothing) {
    // Faces 0 and 1 share the edge 0-1; face 2 collapses onto that edge (vertex 4 sits on
    // vertex 1), face 3 points past the vertex buffer.
    const Mesh mesh = MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {1, 0, 0}},
                               {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}, {0, 1, 99}});
    const auto adjacency = mesh.GenerateAdjacency(0);
    EXPECT_EQ(Neighbour(adjacency, 0, 0), 1u);
    EXPECT_EQ(Neighbour(adjacency, 1, 0), 0u);
    for (std::uint32_t f : {2u, 3u}) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(Neighbour(adjacency, f, k), kNoNeighbour);
    }
}

TEST(MeshAdjacency, MeshesWithoutFacesOrPositions) {
    EXPECT_TRUE(Mesh().GenerateAdjacency(0).empty());
    EXPECT_TRUE(Mesh(0, 4, kFvfXyz).GenerateAdjacency(0.5f).empty());
    // A format without positions has no vertex data to compare.
    Mesh noPositions(1, 3, kFvfNormal);
    EXPECT_EQ(noPositions.GenerateAdjacency(0), std::vector<std::uint32_t>(3, kNoNeighbour));
}

// All-pairs reference of the documented rule: corners meet when `same` says so, an edge of
// two faces links them, an edge of more faces pairs oppositely running faces in face order,
// degenerate faces are left out.
template <typename SamePoint>
std::vector<std::uint32_t> BruteForceAdjacency(const Mesh& mesh, SamePoint same) {
    const std::uint32_t faces = mesh.NumFaces();
    auto corner = [&](std::uint32_t f, int k) { return mesh.Position(mesh.Indices()[f * 3 + k]); };
    auto degenerate = [&](std::uint32_t f) {
        return same(corner(f, 0), corner(f, 1)) || same(corner(f, 1), corner(f, 2)) ||
               same(corner(f, 2), corner(f, 0));
    };
    // +1: the edges run the same way, -1: opposite ways, 0: different edges.
    auto compare = [&](std::uint32_t f, int k, std::uint32_t g, int j) {
        const Vec3 a = corner(f, k), b = corner(f, (k + 1) % 3);
        const Vec3 c = corner(g, j), d = corner(g, (j + 1) % 3);
        if (same(a, c) && same(b, d)) return 1;
        if (same(a, d) && same(b, c)) return -1;
        return 0;
    };
    std::vector<std::uint32_t> adjacency(faces * 3, kNoNeighbour);
    for (std::uint32_t f = 0; f < faces; ++f) {
        if (degenerate(f)) continue;
        for (int k = 0; k < 3; ++k) {
            if (adjacency[f * 3 + k] != kNoNeighbour) continue;
            std::vector<std::pair<std::uint32_t, int>> others;
            for (std::uint32_t g = 0; g < faces; ++g) {
                if (g == f || degenerate(g)) continue;
                for (int j = 0; j < 3; ++j) {
                    if (compare(f, k, g, j) != 0) others.push_back({g, j});
                }
            }
            for (const auto& [g, j] : others) {
                if (g < f || adjacency[g * 3 + j] != kNoNeighbour) continue;
                if (others.size() > 1 && compare(f, k, g, j) != -1) continue;
                adjacency[f * 3 + k] = g;
                adjacency[g * 3 + j] = f;
                break;
            }
        }
    }
    return adjacency;
}

// Random triangles over a coarse lattice (so edges are shared by 0, 1, 2 or more faces), each
// lattice point present as several split vertices; `jitter` moves each copy a little.
Mesh RandomLatticeMesh(std::mt19937& random, float jitter) {
    std::uniform_int_distribution<int> coordinate(0, 2);
    std::uniform_real_distribution<float> wobble(-jitter, jitter);
    std::vector<Vec3> positions;
    for (int v = 0; v < 60; ++v) {
        positions.push_back({static_cast<float>(coordinate(random)) + wobble(random),
                             static_cast<float>(coordinate(random)) + wobble(random),
                             static_cast<float>(coordinate(random) % 2) + wobble(random)});
    }
    std::uniform_int_distribution<int> vertex(0, 59);
    std::vector<Tri> faces;
    for (int f = 0; f < 80; ++f) {
        faces.push_back({static_cast<std::uint16_t>(vertex(random)),
                         static_cast<std::uint16_t>(vertex(random)),
                         static_cast<std::uint16_t>(vertex(random))});
    }
    return MakeMesh(positions, faces);
}

TEST(MeshAdjacency, MatchesAllPairsReferenceOnRandomMeshes) {
    std::mt19937 random(1234);
    std::size_t linked = 0, open = 0;
    for (int round = 0; round < 40; ++round) {
        const Mesh exact = RandomLatticeMesh(random, 0);
        const auto reference = BruteForceAdjacency(exact, [](Vec3 a, Vec3 b) { return a == b; });
        EXPECT_EQ(exact.GenerateAdjacency(0), reference) << "exact round " << round;
        for (std::uint32_t entry : reference) (entry == kNoNeighbour ? open : linked) += 1;

        // Copies of a lattice point lie within 2e-3 of each other, lattice points 1 apart.
        const float epsilon = 0.01f;
        const Mesh jittered = RandomLatticeMesh(random, 1e-3f);
        auto near = [&](Vec3 a, Vec3 b) {
            return std::fabs(a.x - b.x) <= epsilon && std::fabs(a.y - b.y) <= epsilon &&
                   std::fabs(a.z - b.z) <= epsilon;
        };
        EXPECT_EQ(jittered.GenerateAdjacency(epsilon), BruteForceAdjacency(jittered, near))
            << "jittered round " << round;
    }
    // The meshes must exercise both outcomes for the comparison to mean anything.
    EXPECT_GT(linked, 1000u);
    EXPECT_GT(open, 1000u);
}

// One triangle repeated: each of its three edges carries every face. `reversed` says which
// copies are wound the other way.
Mesh RepeatedTriangle(const std::vector<bool>& reversed) {
    std::vector<Tri> faces;
    for (const bool back : reversed) faces.push_back(back ? Tri{1, 0, 2} : Tri{0, 1, 2});
    return MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, faces);
}

TEST(MeshAdjacency, ManyFacesOnOneEdgePairInFaceOrder) {
    struct Case {
        const char* name;
        std::vector<bool> reversed;
        std::vector<std::uint32_t> partner;  // per face, on all three edges
    };
    const std::uint32_t none = kNoNeighbour;
    const std::vector<Case> cases = {
        {"all one way", {false, false, false, false, false}, {none, none, none, none, none}},
        {"one reversed last", {false, false, false, false, true}, {4, none, none, none, 0}},
        {"waiting ones taken first come",
         {false, false, true, false, true, true},
         {2, 4, 0, 5, 1, 3}},
        {"reversed first", {true, false, false, true, true, true}, {1, 0, 3, 2, none, none}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> expected;
        for (const std::uint32_t p : c.partner) expected.insert(expected.end(), {p, p, p});
        EXPECT_EQ(RepeatedTriangle(c.reversed).GenerateAdjacency(0), expected) << c.name;
    }
}

TEST(MeshAdjacency, LargeFanOnOneEdgePairsHalvesAndLeavesOneWayFacesOpen) {
    // 3000 faces one way then 3000 the other: face i pairs with face 3000 + i.
    const std::uint32_t half = 3000;
    std::vector<bool> reversed(2 * half, false);
    std::fill(reversed.begin() + half, reversed.end(), true);
    std::vector<std::uint32_t> expected;
    for (std::uint32_t f = 0; f < 2 * half; ++f) {
        const std::uint32_t p = f < half ? f + half : f - half;
        expected.insert(expected.end(), {p, p, p});
    }
    EXPECT_EQ(RepeatedTriangle(reversed).GenerateAdjacency(0), expected);

    // 20,000 faces all wound alike: nobody pairs.
    const Mesh oneWay = RepeatedTriangle(std::vector<bool>(20000, false));
    EXPECT_EQ(oneWay.GenerateAdjacency(0), std::vector<std::uint32_t>(60000, kNoNeighbour));
    EXPECT_EQ(oneWay.GenerateAdjacency(1e-3f), std::vector<std::uint32_t>(60000, kNoNeighbour));
}

TEST(MeshAdjacency, FanOnOneEdgeMatchesAllPairsReference) {
    // Faces on the edge 0-1, each with a tip of its own, wound either way at random; fans of
    // a few faces and of more than fit the small per-point scan.
    std::mt19937 random(99);
    std::bernoulli_distribution backwards(0.4);
    for (const int count : {3, 7, 31, 40, 300}) {
        std::vector<Vec3> positions = {{0, 0, 0}, {1, 0, 0}};
        std::vector<Tri> faces;
        for (int f = 0; f < count; ++f) {
            const float angle = 6.2831853f * static_cast<float>(f) / static_cast<float>(count);
            positions.push_back({0.5f, std::cos(angle), std::sin(angle)});
            const auto tip = static_cast<std::uint16_t>(f + 2);
            faces.push_back(backwards(random) ? Tri{1, 0, tip} : Tri{0, 1, tip});
        }
        const Mesh mesh = MakeMesh(positions, faces);
        const auto reference = BruteForceAdjacency(mesh, [](Vec3 a, Vec3 b) { return a == b; });
        EXPECT_EQ(mesh.GenerateAdjacency(0), reference) << count << " faces";
    }
}

}  // namespace
}  // namespace gfx
