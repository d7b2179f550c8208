// Whole-mesh checks of the hand-written .x fixtures, and of their binary and compressed twins
// (written by tests/data/x/make_twins.py), against values derived by hand.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/gfx/xfile_test_util.h"

namespace gfx {
namespace {

using namespace xtest;

TEST(XFileFixtures, FramesTransformReferencedAndNestedMeshes) {
    const auto loaded = LoadFixture("frames.x");
    const LoadedMesh& x = Ok(loaded);
    // Tri keeps its own normal; the meshes without normals get theirs from their faces.
    EXPECT_EQ(x.mesh.Fvf(), kFvfXyz | kFvfNormal);
    ExpectPositions(x.mesh, {
                                // Shared at the top level, untransformed.
                                {0, 0, 0},
                                {1, 0, 0},
                                {0, 1, 0},
                                // Tri: (x, y, z) -> (-2y, 2x, 2z) in Child, then +10 x in Root.
                                {10, 2, 0},
                                {8, 0, 0},
                                {10, 0, 2},
                                // {Shared} in Halving: w = 2 divides (x + 20, y, z).
                                {10, 0, 0},
                                {10.5f, 0, 0},
                                {10, 0.5f, 0},
                                // {Shared} in Acc after the translation only.
                                {0, 5, 0},
                                {1, 5, 0},
                                {0, 6, 0},
                                // {Shared} in Acc after the scale accumulated onto it.
                                {0, 5, 0},
                                {3, 5, 0},
                                {0, 8, 0},
                            });
    // Tri's normal (1, 0, 0) turned by the rotation and scale, then normalised. Every other
    // triangle lies in z = 0, wound to face +z.
    std::vector<Vec3> normals(15, Vec3{0, 0, 1});
    normals[3] = normals[4] = normals[5] = {0, 1, 0};
    ExpectNormals(x.mesh, normals);
    ExpectIndices(x.mesh, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    // Each mesh without a material list adds a default material of its own.
    ExpectAttributes(x.mesh, {0, 1, 2, 3, 4});
    EXPECT_EQ(x.materials, std::vector<ExtendedMaterial>(5, DefaultMaterial()));
    EXPECT_EQ(x.adjacency, std::vector<std::uint32_t>(15, kNoNeighbour));
}

TEST(XFileFixtures, SplitNormalsCopyVerticesWithTheirOtherAttributes) {
    const auto loaded = LoadFixture("split_normals.x");
    const LoadedMesh& x = Ok(loaded);
    EXPECT_EQ(x.mesh.Fvf(), kFvfXyz | kFvfNormal | kFvfTex1);
    const float h = 1.0f / std::sqrt(2.0f);
    const Vec3 up{0, 0, 1}, slant{h, 0, h}, side{0, 1, 0};
    // Face 0 gives vertices 0-3 the normal (0, 0, 2) normalised. Face 1 meets 1 and 2 with
    // another normal: copies 6 and 7; 4 is new and keeps it. Face 2's (0, 0, 1) equals the
    // normalised (0, 0, 2), and its slant corner reuses copy 6. Face 3 needs third versions.
    ExpectPositions(x.mesh, {{0, 0, 0},
                             {1, 0, 0},
                             {1, 1, 0},
                             {0, 1, 0},
                             {2, 0, 1},
                             {9, 9, 9},
                             {1, 0, 0},
                             {1, 1, 0},
                             {1, 0, 0},
                             {2, 0, 1},
                             {1, 1, 0}});
    ExpectNormals(x.mesh, {up, up, up, up, slant, {0, 0, 0}, slant, slant, side, side, side});
    ExpectTexCoords(x.mesh, {{0, 0},
                             {1, 0},
                             {1, 1},
                             {0, 1},
                             {2, 0},
                             {0.5f, 0.5f},
                             {1, 0},
                             {1, 1},
                             {1, 0},
                             {2, 0},
                             {1, 1}});
    ExpectIndices(x.mesh, {0, 1, 2, 0, 2, 3, 6, 4, 7, 2, 6, 0, 8, 9, 10});
    ExpectAttributes(x.mesh, {1, 1, 0, 1, 0});
    EXPECT_EQ(x.materials, (std::vector<ExtendedMaterial>{
                               FileMaterial({1, 1, 1, 1}, 0, {0, 0, 0}, {0, 0, 0}),
                               FileMaterial({0, 0, 1, 1}, 8, {0.5f, 0.5f, 0.5f}, {0, 0, 0}),
                           }));
}

TEST(XFileFixtures, MaterialsReferencesTexturesAndDefaults) {
    const auto loaded = LoadFixture("materials.x");
    const LoadedMesh& x = Ok(loaded);
    EXPECT_EQ(x.mesh.Fvf(), kFvfXyz | kFvfNormal);
    const ExtendedMaterial shiny =
        FileMaterial({1, 0, 0, 1}, 20, {1, 1, 1}, {0, 0, 0}, "tex\\\\shiny.png");
    const ExtendedMaterial plain =
        FileMaterial({0.5f, 0.5f, 0.5f, 0.25f}, 0, {0, 0, 0}, {0.1f, 0.2f, 0.3f});
    const ExtendedMaterial textured = FileMaterial({0, 1, 0, 0.5f}, 5, {0.2f, 0.2f, 0.2f},
                                                   {0, 0, 0}, "C:\\\\models\\\\second.bmp");
    // Quad's three materials (only the third used), Bare's default, Pair's two references.
    EXPECT_EQ(x.materials, (std::vector<ExtendedMaterial>{shiny, plain, textured, DefaultMaterial(),
                                                          plain, shiny}));
    // The single face index of Quad's list covers both triangles of its fanned quad.
    ExpectAttributes(x.mesh, {2, 2, 3, 5, 4});
    ExpectIndices(x.mesh, {0, 1, 2, 0, 2, 3, 4, 5, 6, 7, 8, 9, 9, 8, 7});
    ExpectPositions(x.mesh, {{0, 0, 0},
                             {1, 0, 0},
                             {1, 1, 0},
                             {0, 1, 0},
                             {0, 0, 1},
                             {1, 0, 1},
                             {0, 1, 1},
                             {0, 0, 2},
                             {1, 0, 2},
                             {0, 1, 2}});
}

TEST(XFileFixtures, SkippedObjectsTemplatesAndExtraBraceLeaveTheMesh) {
    const auto loaded = LoadFixture("skinned.x");
    const LoadedMesh& x = Ok(loaded);
    EXPECT_EQ(x.mesh.Fvf(), kFvfXyz | kFvfNormal);
    ExpectPositions(x.mesh, {{-1, 0, 0}, {1, 0, 0}, {1, 2, 0}, {-1, 2, 0}});
    ExpectNormals(x.mesh, std::vector<Vec3>(4, Vec3{0, 0, 1}));
    ExpectIndices(x.mesh, {0, 1, 2, 0, 2, 3});
    ExpectAttributes(x.mesh, {0, 0});
    EXPECT_EQ(x.materials, std::vector<ExtendedMaterial>{DefaultMaterial()});
    // The two triangles share the diagonal 0-2: edge 1 (2 to 0) of face 0, edge 0 of face 1.
    EXPECT_EQ(x.adjacency, (std::vector<std::uint32_t>{kNoNeighbour, kNoNeighbour, 1, 0,
                                                       kNoNeighbour, kNoNeighbour}));
}

TEST(XFileFixtures, ColoursAndTexCoordsOfOneMeshGiveTheUnionFormat) {
    const auto loaded = LoadFixture("colours.x");
    const LoadedMesh& x = Ok(loaded);
    EXPECT_EQ(x.mesh.Fvf(), kFvfXyz | kFvfNormal | kFvfDiffuse | kFvfTex1);
    ExpectPositions(x.mesh, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}});
    ExpectNormals(x.mesh, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}});
    ExpectTexCoords(x.mesh, {{0.25f, 0.75f}, {1, 0}, {0, 1}, {0, 0}, {0, 0}, {0, 0}});
    // ARGB: (1, 0, 0, 1) and (0, 0.5, 1, 0.5), 0.5 rounding to 128; vertex 1 has no entry.
    const std::vector<Colour> colours{0xFFFF0000, 0, 0x800080FF, 0, 0, 0};
    for (std::uint32_t v = 0; v < colours.size(); ++v) {
        EXPECT_EQ(x.mesh.Diffuse(v), colours[v]) << "vertex " << v;
    }
    ExpectIndices(x.mesh, {0, 1, 2, 3, 4, 5});
    ExpectAttributes(x.mesh, {0, 1});
}

TEST(XFileFixtures, GridOfQuadsSpanningSeveralCompressedChunks) {
    const auto loaded = LoadFixture("grid.x");
    const LoadedMesh& x = Ok(loaded);
    constexpr std::uint32_t kCells = 40, kSide = kCells + 1;
    ASSERT_EQ(x.mesh.NumVertices(), kSide * kSide);
    ASSERT_EQ(x.mesh.NumFaces(), kCells * kCells * 2);
    for (std::uint32_t j = 0; j < kSide; ++j) {
        for (std::uint32_t i = 0; i < kSide; ++i) {
            const Vec3 expected{float(i), 0.5f * float(j), 0.25f * float((i + j) % 3)};
            ExpectNear(x.mesh.Position(j * kSide + i), expected, "position", j * kSide + i);
        }
    }
    const auto indices = x.mesh.Indices();
    for (std::uint32_t cell = 0; cell < kCells * kCells; ++cell) {
        const std::uint32_t a = (cell / kCells) * kSide + cell % kCells;
        const std::vector<std::uint32_t> expected{a, a + 1,         a + kSide + 1,
                                                  a, a + kSide + 1, a + kSide};
        for (std::uint32_t k = 0; k < 6; ++k) {
            ASSERT_EQ(indices[cell * 6 + k], expected[k]) << "cell " << cell;
        }
    }
    // Triangle 0 = (0, 1, 42): no neighbour below, the next cell's second triangle across 1-42,
    // its own quad's other half across 42-0.
    EXPECT_EQ(x.adjacency[0], kNoNeighbour);
    EXPECT_EQ(x.adjacency[1], 3u);
    EXPECT_EQ(x.adjacency[2], 1u);
}

class XFileTwins : public ::testing::TestWithParam<const char*> {};

TEST_P(XFileTwins, BinaryAndCompressedTwinsLoadTheSameMesh) {
    const std::string name = GetParam();
    const auto text = LoadFixture(name + ".x");
    ASSERT_TRUE(text.ok()) << text.error();
    for (const char* twin : {".bin.x", ".tzip.x", ".bzip.x"}) {
        SCOPED_TRACE(name + twin);
        const auto other = LoadFixture(name + twin);
        ASSERT_TRUE(other.ok()) << other.error();
        ExpectSameMesh(*text, *other);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, XFileTwins,
                         ::testing::Values("frames", "split_normals", "materials", "skinned",
                                           "colours", "grid"));

TEST(XFileFixtures, DoubleFloatsAndChunkSizesWithoutSignatureLoadTheSameMesh) {
    const auto text = LoadFixture("frames.x");
    ASSERT_TRUE(text.ok()) << text.error();
    for (const char* twin : {"frames.bin64.x", "frames.tzip-nock.x"}) {
        SCOPED_TRACE(twin);
        const auto other = LoadFixture(twin);
        ASSERT_TRUE(other.ok()) << other.error();
        ExpectSameMesh(*text, *other);
    }
}

}  // namespace
}  // namespace gfx
