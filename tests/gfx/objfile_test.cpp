// The OBJ reader: the same mesh the .x reader gives, in the editor's left-handed frame.

#include "gfx/objfile/objfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/meshfile/mesh_file.h"

namespace {

std::string Fixture(const std::string& name) {
    return std::string(POSEWRIGHTER_TEST_DATA) + "/obj/" + name;
}

struct Expected {
    std::string file;
    std::uint32_t faces, vertices, fvf;
    std::size_t materials;
};

TEST(ObjFile, FacesVerticesAndMaterialsOfEachFixture) {
    using namespace gfx;
    const Expected cases[] = {
        // A quad fans into two triangles; no materials gives the one grey material.
        {"quad.obj", 2, 4, kFvfXyz | kFvfNormal, 1},
        // The square's quad and the tab's triangle, two library materials; the tab's corners
        // carry no texture coordinate, so they are positions of their own.
        {"textured.obj", 3, 7, kFvfXyz | kFvfNormal | kFvfTex1, 2},
        // A face without a material adds the grey one after the library's.
        {"colours.obj", 2, 4, kFvfXyz | kFvfNormal | kFvfDiffuse, 2},
    };
    for (const Expected& c : cases) {
        auto loaded = LoadMeshFile(Fixture(c.file));
        ASSERT_TRUE(loaded) << c.file << ": " << loaded.error();
        EXPECT_EQ(loaded->mesh.NumFaces(), c.faces) << c.file;
        EXPECT_EQ(loaded->mesh.NumVertices(), c.vertices) << c.file;
        EXPECT_EQ(loaded->mesh.Fvf(), c.fvf) << c.file;
        EXPECT_EQ(loaded->materials.size(), c.materials) << c.file;
        EXPECT_EQ(loaded->adjacency.size(), 3u * c.faces) << c.file;
    }
}

TEST(ObjFile, MaterialsTakeDiffuseAlphaSpecularPowerEmissiveAndTexture) {
    auto loaded = gfx::LoadMeshFile(Fixture("textured.obj"));
    ASSERT_TRUE(loaded) << loaded.error();
    const gfx::Material& picture = loaded->materials[0].material;
    EXPECT_EQ(picture.diffuse, (gfx::ColourValue{0.8f, 0.6f, 0.4f, 0.5f}));
    EXPECT_EQ(picture.specular, (gfx::ColourValue{0.25f, 0.5f, 0.75f, 1.0f}));
    EXPECT_EQ(picture.emissive, (gfx::ColourValue{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(picture.power, 20.0f);
    // Named beside the library, given relative to the OBJ's folder.
    EXPECT_EQ(loaded->materials[0].textureFilename, "materials/picture.png");
    // Tr is the transparency: alpha 1 - Tr.
    EXPECT_EQ(loaded->materials[1].material.diffuse, (gfx::ColourValue{0.3f, 0.3f, 0.3f, 0.75f}));
    EXPECT_FALSE(loaded->materials[1].textureFilename);
    // The square's two triangles use the picture, the tab the metal.
    const auto attributes = loaded->mesh.Attributes();
    EXPECT_EQ(std::count(attributes.begin(), attributes.end(), 0u), 2);
    EXPECT_EQ(std::count(attributes.begin(), attributes.end(), 1u), 1);

    auto coloured = gfx::LoadMeshFile(Fixture("colours.obj"));
    ASSERT_TRUE(coloured) << coloured.error();
    EXPECT_EQ(coloured->materials[0].material.diffuse, (gfx::ColourValue{1, 0, 0, 1}));
    EXPECT_EQ(coloured->materials[1].material.diffuse, (gfx::ColourValue{0.5f, 0.5f, 0.5f, 0}));
    bool orange = false;
    for (std::uint32_t v = 0; v < coloured->mesh.NumVertices(); ++v) {
        orange |= coloured->mesh.Diffuse(v) == 0xFFFF8000u;
    }
    EXPECT_TRUE(orange);
}

// A face the OBJ viewer at +z sees counter-clockwise: mirrored in z it faces the viewer at -z,
// and its corners run clockwise as seen from there, the left-handed front. Normals made from
// the faces and those the file gives agree on that side.
TEST(ObjFile, ZIsNegatedAndTheWindingReversed) {
    for (const char* file : {"quad.obj", "textured.obj"}) {
        auto loaded = gfx::LoadMeshFile(Fixture(file));
        ASSERT_TRUE(loaded) << loaded.error();
        const gfx::Mesh& mesh = loaded->mesh;
        const auto indices = mesh.Indices();
        for (std::uint32_t f = 0; f < mesh.NumFaces(); ++f) {
            const gfx::Vec3 a = mesh.Position(indices[3 * f]);
            const gfx::Vec3 b = mesh.Position(indices[3 * f + 1]);
            const gfx::Vec3 c = mesh.Position(indices[3 * f + 2]);
            // Seen from -z (x right, y up), clockwise corners have a negative z cross product
            // in the right-handed sense, i.e. (b - a) x (c - a) points to -z.
            const float crossZ = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
            EXPECT_LT(crossZ, 0.0f) << file << " face " << f;
            EXPECT_LT(mesh.Normal(indices[3 * f]).z, -0.99f) << file << " face " << f;
        }
    }
    // The texture's top row (OBJ v = 1) is v = 0 here.
    auto loaded = gfx::LoadMeshFile(Fixture("textured.obj"));
    ASSERT_TRUE(loaded);
    for (std::uint32_t v = 0; v < 4; ++v) {
        const gfx::Vec3 p = loaded->mesh.Position(v);
        EXPECT_EQ(loaded->mesh.TexCoord(v).y, p.y > 0 ? 0.0f : 1.0f) << v;
    }
}

TEST(ObjFile, BrokenFilesGiveThePathAndTheReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"index_past.obj", "face 1 of 'tri' names vertex 4 of 3"},
        {"not_finite.obj", "vertex 2 is not a finite number"},
        {"missing_mtl.obj",
         "material library 'nowhere.mtl': cannot open the file: No such file or directory"},
        {"two_corners.obj", "a face has fewer than 3 corners"},
        {"missing.obj", "cannot open the file: No such file or directory"},
    };
    for (const auto& [file, reason] : cases) {
        auto loaded = gfx::LoadMeshFile(Fixture(file));
        ASSERT_FALSE(loaded) << file;
        EXPECT_EQ(loaded.error(), Fixture(file) + ": " + reason);
    }
}

TEST(ObjFile, InMemoryTextErrors) {
    const auto noLibrary = [](std::string_view) -> gfx::Result<std::string> {
        return gfx::Error{"none"};
    };
    const std::pair<const char*, const char*> cases[] = {
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/1 2/1 3/1\n", "face 1 names texture coordinate 1 of 0"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1//2 2//2 3//2\nvn 0 0 1\n", "face 1 names normal 2 of 1"},
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf -4 2 3\n", "face 1 names vertex 0 of 3"},
        {"v 0 0 0\n", "the file holds no faces"},
        {"mtllib a.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", "none"},
    };
    for (const auto& [text, reason] : cases) {
        auto loaded = gfx::LoadMeshFromObjInMemory(text, noLibrary);
        ASSERT_FALSE(loaded) << text;
        EXPECT_EQ(loaded.error(), reason) << text;
    }
}

TEST(MeshFile, TheReaderFollowsTheExtensionInAnyCase) {
    EXPECT_EQ(gfx::MeshFormatOf("a/b.OBJ"), gfx::MeshFormat::kObj);
    EXPECT_EQ(gfx::MeshFormatOf("b.Obj"), gfx::MeshFormat::kObj);
    EXPECT_EQ(gfx::MeshFormatOf("b.X"), gfx::MeshFormat::kX);
    EXPECT_EQ(gfx::MeshFormatOf("obj"), gfx::MeshFormat::kX);
    EXPECT_EQ(gfx::MeshFormatOf("b.obj.x"), gfx::MeshFormat::kX);
}

// A library's name reaches the reader as written: backslashes of Windows paths and of
// Shift-JIS characters (表 is 0x95 0x5C) are kept, "\ " still stands for a space, and CR LF ends
// the name.
TEST(ObjFile, LibraryNamesKeepTheirBackslashes) {
    const struct {
        std::string line, name;
    } cases[] = {
        {"mtllib Materials\\Robot.MTL\n", "Materials\\Robot.MTL"},
        {"mtllib Materials\\Robot.MTL\r\n", "Materials\\Robot.MTL"},
        {"mtllib \x95\x5C.mtl\n", "\x95\x5C.mtl"},
        {"mtllib my\\ mats.mtl\n", "my mats.mtl"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> asked;
        const gfx::MtlSource source = [&asked](std::string_view name) -> gfx::Result<std::string> {
            asked.emplace_back(name);
            return std::string("newmtl a\nKd 1 1 1\n");
        };
        const auto loaded = gfx::LoadMeshFromObjInMemory(
            "v 0 0 0\nv 1 0 0\nv 0 1 0\n" + c.line + "f 1 2 3\n", source);
        ASSERT_TRUE(loaded) << loaded.error();
        EXPECT_EQ(asked, std::vector<std::string>{c.name}) << c.line;
    }
}

}  // namespace
