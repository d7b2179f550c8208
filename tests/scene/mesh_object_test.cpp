#include "scene/mesh_object.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "framework/texture_cache.h"
#include "tests/framework/log_capture.h"

namespace scene {
namespace {

using framework::testing_support::LogCapture;

// Texture names in the fixtures are relative, and are looked up against the current directory:
// the tests run inside the fixture folder.
class MeshObjectTest : public testing::Test {
  protected:
    void SetUp() override {
        saved_ = std::filesystem::current_path();
        std::filesystem::current_path(std::string(POSEWRIGHTER_TEST_DATA) + "/scene");
    }
    void TearDown() override { std::filesystem::current_path(saved_); }

    bool Load(MeshObject& mesh, const std::string& path, bool outline = true) {
        return mesh.LoadFromFile(cache_, path, 0, outline, 1).ok();
    }

    framework::TextureCache cache_;
    LogCapture log_;

  private:
    std::filesystem::path saved_;
};

// ---- Loading, textures and release ----

TEST_F(MeshObjectTest, MeshesNamingTheSameTextureShareOneLoad) {
    MeshObject quad, pair;
    ASSERT_TRUE(Load(quad, "textured_quad.x"));
    ASSERT_TRUE(Load(pair, "two_triangles.x"));
    EXPECT_EQ(log_.Text(),
              "load(textured_quad.x) ... ok.\nload(checker.png) ... ok.\n"
              "load(two_triangles.x) ... ok.\n");
    ASSERT_EQ(quad.materialCount, 1u);
    ASSERT_EQ(pair.materialCount, 2u);
    ASSERT_NE(quad.textures[0], nullptr);
    EXPECT_EQ(pair.textures[0], quad.textures[0]);
    EXPECT_EQ(pair.textures[1], nullptr);  // the plain red material
    EXPECT_EQ(cache_.UseCount("checker.png"), 2);

    log_.Clear();
    quad.Release();
    EXPECT_EQ(log_.Text(), "release(textured_quad.x)\n");
    EXPECT_EQ(cache_.size(), 1u);
    EXPECT_FALSE(quad.IsLoaded());
    EXPECT_TRUE(quad.name.empty());
    EXPECT_TRUE(quad.textures.empty());

    pair.Release();
    EXPECT_EQ(log_.Text(),
              "release(textured_quad.x)\nrelease(two_triangles.x)\nrelease(checker.png)\n");
    EXPECT_EQ(cache_.size(), 0u);
}

TEST_F(MeshObjectTest, TexturesThatDoNotExistAsWrittenAreFoundBesideTheMesh) {
    // Loaded from another current folder: "checker.png" is not there, but beside the .x file.
    const std::string fixture = std::filesystem::current_path().string() + "/textured_quad.x";
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    MeshObject quad;
    ASSERT_TRUE(Load(quad, fixture));
    ASSERT_EQ(quad.materialCount, 1u);
    ASSERT_NE(quad.textures[0], nullptr);
    EXPECT_EQ(cache_.UseCount(std::string(POSEWRIGHTER_TEST_DATA) + "/scene/checker.png"), 1);
}

TEST_F(MeshObjectTest, MaterialsWithoutTexturesHaveNoTexture) {
    MeshObject cube, bare;
    ASSERT_TRUE(Load(cube, "cube_shared.x"));
    ASSERT_TRUE(Load(bare, "unused_vertex.x"));  // no material list at all
    EXPECT_EQ(cube.textures, std::vector<framework::Texture*>{nullptr});
    EXPECT_EQ(cube.materials[0].diffuse, (gfx::ColourValue{0.2f, 0.4f, 0.6f, 1.0f}));
    EXPECT_EQ(cube.materials[0].power, 10.0f);
    EXPECT_EQ(bare.materialCount, 1u);
    EXPECT_EQ(bare.textures, std::vector<framework::Texture*>{nullptr});
    EXPECT_EQ(cache_.size(), 0u);
}

TEST_F(MeshObjectTest, MissingTextureLeavesTheMaterialUntexturedAndLoadingGoesOn) {
    MeshObject mesh;
    ASSERT_TRUE(Load(mesh, "missing_texture.x"));
    EXPECT_TRUE(mesh.IsLoaded());
    EXPECT_EQ(mesh.textures, std::vector<framework::Texture*>{nullptr});
    EXPECT_EQ(log_.Text(),
              "load(missing_texture.x) ... ok.\nload(no_such_texture.png) ... failed. "
              "no_such_texture.png: cannot open: No such file or directory\n");
}

TEST_F(MeshObjectTest, FailedLoadLeavesTheObjectEmptyAndLogsTheReason) {
    const std::pair<std::string, std::string> cases[] = {
        {"truncated.x",
         "truncated.x: Mesh 'Cut': expected a number at line 8, found the end of the file"},
        {"no_such_file.x", "no_such_file.x: cannot open the file: No such file or directory"},
    };
    for (const auto& [path, reason] : cases) {
        log_.Clear();
        MeshObject mesh;
        EXPECT_FALSE(Load(mesh, path));
        EXPECT_FALSE(mesh.IsLoaded());
        EXPECT_TRUE(mesh.name.empty());
        EXPECT_EQ(mesh.materialCount, 0u);
        EXPECT_EQ(mesh.Outline(), nullptr);
        const std::string logged = "load(" + path + ") ... failed. " + reason + "\n";
        EXPECT_EQ(log_.Text(), logged);
        // Nothing is left to release.
        mesh.Release();
        EXPECT_EQ(log_.Text(), logged);
    }
}

TEST_F(MeshObjectTest, LoadingOverALoadedMeshReleasesItFirst) {
    MeshObject mesh;
    ASSERT_TRUE(Load(mesh, "textured_quad.x"));
    EXPECT_FALSE(Load(mesh, "truncated.x"));
    EXPECT_EQ(log_.Text(),
              "load(textured_quad.x) ... ok.\nload(checker.png) ... ok.\n"
              "release(textured_quad.x)\nrelease(checker.png)\n"
              "load(truncated.x) ... failed. truncated.x: Mesh 'Cut': expected a number at line "
              "8, found the end of the file\n");
    EXPECT_FALSE(mesh.IsLoaded());
    EXPECT_EQ(cache_.size(), 0u);
}

TEST_F(MeshObjectTest, DestructorGivesTheTexturesBack) {
    {
        MeshObject mesh;
        ASSERT_TRUE(Load(mesh, "textured_quad.x"));
        EXPECT_EQ(cache_.size(), 1u);
    }
    EXPECT_EQ(cache_.size(), 0u);
}

// ---- Vertex data and bounds ----

TEST_F(MeshObjectTest, LoadedMaterialTakesTheAmbientARecolourGivesSoItsOwnColourChangesNothing) {
    MeshObject cube;
    ASSERT_TRUE(Load(cube, "../ambient/cube.x"));
    const gfx::ColourValue diffuse{0.8f, 0.6f, 0.4f, 1.0f};
    const gfx::Material expected{
        diffuse, {0.4f * 0.8f, 0.4f * 0.6f, 0.4f * 0.4f, 1.0f}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0};
    EXPECT_EQ(cube.materials, std::vector<gfx::Material>{expected});
    cube.RecolourByColour(diffuse, diffuse);
    EXPECT_EQ(cube.materials, std::vector<gfx::Material>{expected});
}

TEST_F(MeshObjectTest, OutlineLoadKeepsTextureCoordinates) {
    MeshObject mesh;
    ASSERT_TRUE(Load(mesh, "textured_quad.x"));
    const gfx::Mesh& m = *mesh.d3dMesh;
    EXPECT_EQ(m.Fvf(), gfx::kFvfXyz | gfx::kFvfNormal | gfx::kFvfTex1);
    EXPECT_EQ(m.BytesPerVertex(), 32u);
    ASSERT_EQ(m.NumVertices(), 4u);
    // The file gives every vertex the coordinates (x, 1 - y); the optimiser may renumber them.
    for (std::uint32_t v = 0; v < m.NumVertices(); ++v) {
        const gfx::Vec3 p = m.Position(v);
        EXPECT_EQ(m.TexCoord(v), (gfx::Vec2{p.x, 1 - p.y})) << "vertex " << v;
        EXPECT_EQ(m.Normal(v), (gfx::Vec3{0, 0, -1}));
    }
}

TEST_F(MeshObjectTest, OutlineLoadWithoutTextureCoordinatesUsesPositionsAndNormals) {
    MeshObject mesh;
    ASSERT_TRUE(Load(mesh, "cube_shared.x"));
    EXPECT_EQ(mesh.d3dMesh->Fvf(), gfx::kFvfXyz | gfx::kFvfNormal);
}

TEST_F(MeshObjectTest, BoundsCountVerticesTheOptimiserDrops) {
    MeshObject mesh;
    ASSERT_TRUE(Load(mesh, "unused_vertex.x", false));
    EXPECT_EQ(mesh.d3dMesh->NumVertices(), 3u);  // the stray vertex is gone after loading
    EXPECT_EQ(mesh.boxMin, (gfx::Vec3{0, -4, 0}));
    EXPECT_EQ(mesh.boxMax, (gfx::Vec3{10, 1, 2}));
    // The mean of the four positions of the file, and the distance of the farthest.
    const std::vector<gfx::Vec3> file = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {10, -4, 2}};
    const gfx::Vec3 centre{11.0f / 4, -3.0f / 4, 2.0f / 4};
    EXPECT_NEAR(mesh.sphereCentre.x, centre.x, 1e-6);
    EXPECT_NEAR(mesh.sphereCentre.y, centre.y, 1e-6);
    EXPECT_NEAR(mesh.sphereCentre.z, centre.z, 1e-6);
    float farthest = 0;
    for (const gfx::Vec3& p : file) {
        const float dx = p.x - centre.x, dy = p.y - centre.y, dz = p.z - centre.z;
        farthest = std::max(farthest, std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    EXPECT_NEAR(mesh.sphereRadius, farthest, 1e-5);
}

TEST_F(MeshObjectTest, LoadWithoutOutlineKeepsTheFileFormatAndBuildsNoOutlineData) {
    MeshObject mesh;
    ASSERT_TRUE(Load(mesh, "unused_vertex.x", false));
    // The file has no normals; the reader makes them from the faces.
    EXPECT_EQ(mesh.d3dMesh->Fvf(), gfx::kFvfXyz | gfx::kFvfNormal);
    EXPECT_FALSE(mesh.outlineEnabled);
    EXPECT_EQ(mesh.Outline(), nullptr);
    EXPECT_TRUE(mesh.projected.empty());
}

// ---- Outline data ----

// Face f's neighbour across edge k (kNoFace for none) and the edge's end points, from the
// outline data and the mesh.
struct FaceEdge {
    std::uint32_t neighbour;
    gfx::Vec3 from, to;
};
FaceEdge EdgeOf(const MeshObject& mesh, std::uint32_t f, int k) {
    const OutlineData& data = *mesh.Outline();
    const std::size_t at = f * 3 + static_cast<std::size_t>(k);
    std::uint32_t neighbour = kNoFace;
    if (!data.neighbours16.empty()) {
        if (data.neighbours16.at(at) != 0xFFFF) neighbour = data.neighbours16.at(at);
    } else {
        neighbour = data.neighbours.at(at);
    }
    const auto indices = mesh.d3dMesh->Indices();
    return {neighbour, mesh.d3dMesh->Position(indices[f * 3 + k]),
            mesh.d3dMesh->Position(indices[f * 3 + (k + 1) % 3])};
}

TEST_F(MeshObjectTest, OutlineDataCoversEveryVertexAndFace) {
    MeshObject mesh;
    ASSERT_TRUE(Load(mesh, "textured_quad.x"));
    EXPECT_TRUE(mesh.outlineEnabled);
    EXPECT_EQ(mesh.vertexCount, 4u);
    EXPECT_EQ(mesh.indexCount, 6u);
    EXPECT_EQ(mesh.projected.size(), 4u);
    EXPECT_EQ(mesh.faceFront.size(), 2u);

    // The two triangles meet only across the diagonal from (0, 0, 0) to (1, 1, 0).
    const gfx::Vec3 origin{0, 0, 0}, far{1, 1, 0};
    for (std::uint32_t f = 0; f < 2; ++f) {
        int neighbours = 0;
        for (int k = 0; k < 3; ++k) {
            const FaceEdge edge = EdgeOf(mesh, f, k);
            if (edge.neighbour == kNoFace) continue;
            ++neighbours;
            EXPECT_EQ(edge.neighbour, 1 - f);
            const gfx::Vec3 a = edge.from, b = edge.to;
            EXPECT_TRUE((a == origin && b == far) || (a == far && b == origin));
        }
        EXPECT_EQ(neighbours, 1) << "face " << f;
    }
}

TEST_F(MeshObjectTest, ClosedMeshHasMatchingNeighboursAcrossEveryEdge) {
    MeshObject mesh;
    ASSERT_TRUE(Load(mesh, "cube_shared.x"));
    ASSERT_EQ(mesh.faceFront.size(), 12u);
    EXPECT_EQ(mesh.vertexCount, 8u);
    for (std::uint32_t f = 0; f < 12; ++f) {
        for (int k = 0; k < 3; ++k) {
            const FaceEdge edge = EdgeOf(mesh, f, k);
            const std::uint32_t g = edge.neighbour;
            ASSERT_LT(g, 12u) << "face " << f << " edge " << k;
            // g runs along the same edge in the opposite direction (consistent winding).
            int back = 0;
            for (int j = 0; j < 3; ++j) {
                const FaceEdge other = EdgeOf(mesh, g, j);
                if (other.neighbour == f && other.from == edge.to && other.to == edge.from) {
                    ++back;
                }
            }
            EXPECT_EQ(back, 1) << "face " << f << " edge " << k;
        }
    }
}

// ---- Box ----

TEST_F(MeshObjectTest, BoxHasOneUntexturedMaterialAndReleasesSilently) {
    MeshObject box;
    const gfx::ColourValue colour{0.1f, 0.2f, 0.3f, 0.4f};
    ASSERT_TRUE(box.CreateBox(2, 4, 6, colour));
    EXPECT_TRUE(box.IsLoaded());
    EXPECT_TRUE(box.name.empty());
    EXPECT_FALSE(box.outlineEnabled);
    ASSERT_EQ(box.materialCount, 1u);
    EXPECT_EQ(box.materials[0], (gfx::Material{colour, colour, {}, {}, 0}));
    EXPECT_EQ(box.textures, std::vector<framework::Texture*>{nullptr});
    EXPECT_EQ(box.boxMin, (gfx::Vec3{-1, -2, -3}));
    EXPECT_EQ(box.boxMax, (gfx::Vec3{1, 2, 3}));
    box.Release();
    EXPECT_FALSE(box.IsLoaded());
    EXPECT_EQ(log_.Text(), "");
}

TEST_F(MeshObjectTest, BoxThatCannotBeMadeLeavesTheObjectEmpty) {
    MeshObject box;
    ASSERT_TRUE(box.CreateBox(1, 1, 1, {}));
    EXPECT_FALSE(box.CreateBox(-1, 1, 1, {}));
    EXPECT_FALSE(box.IsLoaded());
    EXPECT_EQ(box.materialCount, 0u);
    EXPECT_NE(log_.Text().find("failed"), std::string::npos);
}

// ---- Recolouring ----

class RecolourTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(mesh.CreateBox(1, 1, 1, {}));
        gfx::Material lit{{0.5f, 0.5f, 0.5f, 1.0f},
                          {0.2f, 0.2f, 0.2f, 0.7f},
                          {0.3f, 0.3f, 0.3f, 0.3f},
                          {0.2f, 0.1f, 0.0f, 0.9f},
                          12.0f};
        gfx::Material tagged{{0.9f, 0.0f, 0.0f, 0.25f}, {}, {}, {}, 0};
        mesh.materials = {lit, tagged};
        mesh.textures = {nullptr, nullptr};
        mesh.materialCount = 2;
    }
    MeshObject mesh;
};

TEST_F(RecolourTest, MatchingMaterialTakesTheNewColourAndRescalesItsEmissive) {
    const gfx::Material tagged = mesh.materials[1];
    mesh.RecolourByColour({0.5f, 0.5f, 0.5f, 1.0f}, {0.5f, 0.25f, 1.0f, 0.8f});
    const gfx::Material& m = mesh.materials[0];
    EXPECT_EQ(m.diffuse, (gfx::ColourValue{0.5f, 0.25f, 1.0f, 0.8f}));
    // Ambient is 0.4 of the new colour, its alpha kept.
    EXPECT_FLOAT_EQ(m.ambient.r, 0.2f);
    EXPECT_FLOAT_EQ(m.ambient.g, 0.1f);
    EXPECT_FLOAT_EQ(m.ambient.b, 0.4f);
    EXPECT_EQ(m.ambient.a, 0.7f);
    // Emissive brightness 0.2 carried over to the new hue (brightest channel 1.0).
    EXPECT_FLOAT_EQ(m.emissive.r, 0.1f);
    EXPECT_FLOAT_EQ(m.emissive.g, 0.05f);
    EXPECT_FLOAT_EQ(m.emissive.b, 0.2f);
    EXPECT_EQ(m.emissive.a, 0.9f);
    EXPECT_EQ(m.specular, (gfx::ColourValue{0.3f, 0.3f, 0.3f, 0.3f}));
    EXPECT_EQ(m.power, 12.0f);
    EXPECT_EQ(mesh.materials[1], tagged);
}

TEST_F(RecolourTest, NoMatchChangesNothing) {
    const std::vector<gfx::Material> before = mesh.materials;
    mesh.RecolourByColour({0.5f, 0.5f, 0.5f, 0.99f}, {1, 1, 1, 1});
    mesh.RecolourByTag(0.5f, {1, 1, 1, 1});
    EXPECT_EQ(mesh.materials, before);
}

TEST_F(RecolourTest, BlackKeepsTheEmissiveColour) {
    mesh.RecolourByColour({0.5f, 0.5f, 0.5f, 1.0f}, {0.0f, 0.0005f, 0.0f, 1.0f});
    EXPECT_EQ(mesh.materials[0].emissive, (gfx::ColourValue{0.2f, 0.1f, 0.0f, 0.9f}));
    EXPECT_EQ(mesh.materials[0].diffuse, (gfx::ColourValue{0.0f, 0.0005f, 0.0f, 1.0f}));
}

TEST_F(RecolourTest, TagSelectsByDiffuseAlpha) {
    const gfx::Material lit = mesh.materials[0];
    mesh.RecolourByTag(0.25f, {0.0f, 0.6f, 0.0f, 0.25f});
    EXPECT_EQ(mesh.materials[0], lit);
    EXPECT_EQ(mesh.materials[1].diffuse, (gfx::ColourValue{0.0f, 0.6f, 0.0f, 0.25f}));
    EXPECT_FLOAT_EQ(mesh.materials[1].ambient.g, 0.24f);
    // No emissive light to rescale: it stays black.
    EXPECT_EQ(mesh.materials[1].emissive, gfx::ColourValue{});
}

TEST(MeshObjectEmptyTest, RecolouringAnEmptyObjectDoesNothing) {
    MeshObject mesh;
    mesh.materials = {gfx::Material{{1, 1, 1, 1}, {}, {}, {}, 0}};
    mesh.RecolourByColour({1, 1, 1, 1}, {0, 0, 0, 1});
    mesh.RecolourByTag(1, {0, 0, 0, 1});
    EXPECT_EQ(mesh.materials[0].diffuse, (gfx::ColourValue{1, 1, 1, 1}));
}

}  // namespace
}  // namespace scene
