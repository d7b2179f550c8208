// glTF parts: a part exported by posewrighter-cli export reads back as the mesh it was made from,
// and a .glb part draws through the command-line render.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/image/image.h"
#include "gfx/meshfile/mesh_file.h"
#include "tests/app/run_cli.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = POSEWRIGHTER_TEST_DATA;

// A triangle as comparable numbers: each corner's position, normal and (when textured) texture
// coordinate on a 1e-4 grid, the corners turned to start at the smallest, the winding kept.
using Corner = std::array<long, 8>;
using Triangle = std::array<Corner, 3>;

std::vector<Triangle> Triangles(const gfx::LoadedMesh& loaded) {
    const gfx::Mesh& mesh = loaded.mesh;
    const auto grid = [](float v) { return std::lround(double(v) * 1e4); };
    std::vector<Triangle> out;
    for (std::uint32_t f = 0; f < mesh.NumFaces(); ++f) {
        const bool textured = loaded.materials.at(mesh.Attributes()[f]).textureFilename.has_value();
        Triangle t;
        for (int k = 0; k < 3; ++k) {
            const std::uint16_t v = mesh.Indices()[f * 3 + k];
            const gfx::Vec3 p = mesh.Position(v), n = mesh.Normal(v);
            const gfx::Vec2 uv = textured ? mesh.TexCoord(v) : gfx::Vec2{};
            t[k] = {grid(p.x), grid(p.y), grid(p.z),  grid(n.x),
                    grid(n.y), grid(n.z), grid(uv.x), grid(uv.y)};
        }
        std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
        out.push_back(t);
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST(GltfPart, AnExportedPartReadsBackAsTheMeshItWasMadeFrom) {
    const fs::path dir = fs::temp_directory_path() / ("gltf_part_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path robot = kData / "../../samples/robot";
    fs::copy(robot / "head.x", dir / "head.x");
    fs::copy(robot / "face.png", dir / "face.png");
    // The one-part model of tests/data/gltf/square.pwp (unit scale, identity pose) on the head.
    std::ifstream in(kData / "gltf/square.pwp");
    std::stringstream text;
    text << in.rdbuf();
    std::string part = text.str();
    part.replace(part.find("square.glb"), 10, "head.x");
    std::ofstream(dir / "head.pwp") << part;

    const auto run = testing_cli::RunCli("export " + (dir / "head.pwp").string() + " -o " +
                                         (dir / "head.glb").string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto original = gfx::LoadMeshFile((dir / "head.x").string());
    auto back = gfx::LoadMeshFile((dir / "head.glb").string());
    ASSERT_TRUE(original) << original.error();
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->materials.size(), original->materials.size());
    const std::vector<Triangle> expected = Triangles(*original), actual = Triangles(*back);
    ASSERT_EQ(actual.size(), expected.size());
    EXPECT_TRUE(actual == expected);
    fs::remove_all(dir);
}

TEST(GltfPart, AGlbPartShowsItsEmbeddedTextureUprightAndUnmirrored) {
    // tests/data/gltf/square.pwp: a 2 x 2 square facing glTF's +z (the editor's -z), fully
    // emissive, its texture red, green / blue, yellow in quadrants, inside the .glb.
    const fs::path output =
        fs::temp_directory_path() / ("gltf_part_" + std::to_string(::getpid()) + ".png");
    const auto run =
        testing_cli::RunCli("render " + (kData / "gltf/square.pwp").string() +
                            " --no-grid --eye 0,0,-3 --target 0,0,0 -o " + output.string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto image = gfx::LoadImageFile(output.string());
    fs::remove(output);
    ASSERT_TRUE(image) << image.error();
    const auto at = [&](int x, int y) { return image->texels.at(y * 640 + x) & 0xFFFFFFu; };
    EXPECT_EQ(at(223, 143), 0xFF0000u) << std::hex << at(223, 143);
    EXPECT_EQ(at(417, 143), 0x00FF00u) << std::hex << at(417, 143);
    EXPECT_EQ(at(223, 337), 0x0000FFu) << std::hex << at(223, 337);
    EXPECT_EQ(at(417, 337), 0xFFFF00u) << std::hex << at(417, 337);
}

}  // namespace
