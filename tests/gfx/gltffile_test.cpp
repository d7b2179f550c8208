// The glTF reader: the default scene in one mesh, in the editor's left-handed frame; broken
// files refused with the reason.

#include "gfx/gltffile/gltffile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "gfx/image/image.h"
#include "gfx/math/math.h"
#include "gfx/meshfile/mesh_file.h"

namespace {

std::string Fixture(const std::string& name) {
    return std::string(POSEWRIGHTER_TEST_DATA) + "/gltf/" + name;
}

struct Expected {
    std::string file;
    std::uint32_t faces;
    std::vector<int> facesPerMaterial;
};

// tests/data/gltf/make_gltf.py writes the files.
TEST(GltfFile, FacesAndMaterialsOfEachFile) {
    const Expected cases[] = {
        // The box's two primitives and the child node's triangle without a material (grey, last).
        {"nodes.gltf", 13, {8, 4, 1}},
        // A strip of 4 (2 triangles) with a material; a fan of 5 (3) and a plain triangle
        // without; the line list is left out.
        {"embedded.gltf", 6, {2, 4}},
        // Two primitives of one material with 32-bit indices: one subset.
        {"box.glb", 12, {12}},
        {"square.glb", 2, {2}},
    };
    for (const Expected& c : cases) {
        auto loaded = gfx::LoadMeshFile(Fixture(c.file));
        ASSERT_TRUE(loaded) << loaded.error();
        EXPECT_EQ(loaded->mesh.NumFaces(), c.faces) << c.file;
        ASSERT_EQ(loaded->materials.size(), c.facesPerMaterial.size()) << c.file;
        const auto attributes = loaded->mesh.Attributes();
        for (std::size_t m = 0; m < c.facesPerMaterial.size(); ++m) {
            EXPECT_EQ(std::count(attributes.begin(), attributes.end(), m), c.facesPerMaterial[m])
                << c.file << " material " << m;
        }
    }
}

TEST(GltfFile, MaterialsTakeBaseColourAlphaEmissiveAndTexture) {
    auto nodes = gfx::LoadMeshFile(Fixture("nodes.gltf"));
    ASSERT_TRUE(nodes) << nodes.error();
    // Opaque: the factor's alpha is ignored. The texture is named as the URI gives it.
    EXPECT_EQ(nodes->materials[0].material.diffuse, (gfx::ColourValue{1, 0.5f, 0.25f, 1}));
    EXPECT_EQ(nodes->materials[0].textureFilename, "checker.png");
    EXPECT_FALSE(nodes->materials[0].textureData);
    EXPECT_EQ(nodes->materials[1].material.diffuse, (gfx::ColourValue{0, 0, 1, 0.5f}));
    EXPECT_EQ(nodes->materials[1].material.emissive, (gfx::ColourValue{0.25f, 0.5f, 0.75f, 1}));
    EXPECT_EQ(nodes->materials[2].material.diffuse, (gfx::ColourValue{0.5f, 0.5f, 0.5f, 0}));

    // Images inside the file are handed over as bytes, named after the file and the image.
    for (const char* file : {"embedded.gltf", "box.glb"}) {
        auto loaded = gfx::LoadMeshFile(Fixture(file));
        ASSERT_TRUE(loaded) << loaded.error();
        EXPECT_EQ(loaded->materials[0].textureFilename, Fixture(file) + "#image0");
        ASSERT_TRUE(loaded->materials[0].textureData) << file;
        EXPECT_TRUE(gfx::DecodeImage(*loaded->materials[0].textureData)) << file;
    }
}

TEST(GltfFile, ChildNodesAreMovedByTheirParentsAndFacesWindClockwise) {
    auto loaded = gfx::LoadMeshFile(Fixture("nodes.gltf"));
    ASSERT_TRUE(loaded) << loaded.error();
    const gfx::Mesh& mesh = loaded->mesh;
    // The child's triangle (0,0,0) (1,0,0) (0,1,0), scaled by 2, turned 90 degrees about z,
    // moved by (0,3,0) and by its parent's (1,0,0); z is negated (all 0 here).
    const auto attributes = mesh.Attributes();
    const auto face = static_cast<std::size_t>(std::find(attributes.begin(), attributes.end(), 2u) -
                                               attributes.begin());
    ASSERT_LT(face, attributes.size());
    const auto corner = [&](int k) { return mesh.Position(mesh.Indices()[face * 3 + k]); };
    // glTF's (a, b, c) becomes (a, c, b).
    EXPECT_EQ(corner(0), (gfx::Vec3{1, 3, 0}));
    EXPECT_EQ(corner(1), (gfx::Vec3{-1, 3, 0}));
    EXPECT_EQ(corner(2), (gfx::Vec3{1, 5, 0}));

    // Seen from outside, every face of the box winds clockwise: its normal by the left-hand
    // rule points outwards, and so do the file's normals, z negated.
    auto box = gfx::LoadMeshFile(Fixture("box.glb"));
    ASSERT_TRUE(box) << box.error();
    for (std::uint32_t f = 0; f < box->mesh.NumFaces(); ++f) {
        const auto index = [&](int k) { return box->mesh.Indices()[f * 3 + k]; };
        const gfx::Vec3 a = box->mesh.Position(index(0)), b = box->mesh.Position(index(1)),
                        c = box->mesh.Position(index(2));
        const gfx::Vec3 centre = (a + b + c) * (1.0f / 3.0f);
        EXPECT_GT(gfx::Vec3Dot(gfx::Vec3Cross(b - a, c - a), centre), 0.0f) << "face " << f;
        EXPECT_GT(gfx::Vec3Dot(box->mesh.Normal(index(0)), centre), 0.0f) << "face " << f;
    }
}

TEST(GltfFile, BrokenFilesAreRefusedWithTheReason) {
    const std::pair<const char*, std::string> cases[] = {
        {"index_past.gltf", "mesh 'shapes' primitive 0: index 1 names vertex 9 of 4"},
        {"accessor_past.gltf",
         "mesh 'shapes' primitive 2: POSITION accessor 4 reaches past the 36 bytes of buffer "
         "view 4"},
        {"view_past.gltf",
         "mesh 'shapes' primitive 2: POSITION accessor 4: buffer view 4 reaches past the 190 "
         "bytes of buffer 0"},
        {"not_triangles.gltf",
         "mesh 'shapes' primitive 2: 5 indices are not a whole number of triangles"},
        {"nan_position.gltf", "mesh 'shapes' primitive 0: position 0 is not a finite number"},
        {"missing_bin.gltf", "cannot read \"gone.bin\": No such file or directory"},
        {"not_gltf.gltf", "not a glTF file: neither JSON text nor a binary glTF header"},
        {"truncated.glb", "not a valid binary glTF file: Invalid glTF binary"},
        {"absent.glb", "cannot open the file: No such file or directory"},
    };
    for (const auto& [file, reason] : cases) {
        auto loaded = gfx::LoadMeshFile(Fixture(file));
        ASSERT_FALSE(loaded) << file;
        EXPECT_EQ(loaded.error(), Fixture(file) + ": " + reason);
    }
}

TEST(GltfFile, TheExtensionChoosesTheReaderInAnyLetterCase) {
    EXPECT_EQ(gfx::MeshFormatOf("a/b.gltf"), gfx::MeshFormat::kGltf);
    EXPECT_EQ(gfx::MeshFormatOf("b.GLB"), gfx::MeshFormat::kGltf);
    EXPECT_EQ(gfx::MeshFormatOf("b.glb.x"), gfx::MeshFormat::kX);
}

}  // namespace
