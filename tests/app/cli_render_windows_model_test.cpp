// posewrighter-cli render on a model written the Windows way (tests/data/windows, made by its
// make_gallery.py): backslash, doubled-backslash and drive-letter paths, names in another letter
// case than the files, CR LF line ends, TGA and DDS textures, a mesh without normals.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/editor/editor.h"
#include "gfx/image/image.h"
#include "gfx/math/math.h"
#include "tests/app/run_cli.h"

namespace {

using testing_cli::RunCli;

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF,
                        kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;
const gfx::Vec3 kEye{0, 0, 7};

// Where a world point lands in the 640 x 480 picture seen from kEye towards the origin.
std::uint32_t PixelOf(const gfx::Image& image, gfx::Vec3 world) {
    const gfx::Matrix view = gfx::MatrixLookAtLH(kEye, {0, 0, 0}, {0, 1, 0});
    const gfx::Vec4 clip =
        gfx::Vec3Transform(world, gfx::MatrixMultiply(view, app::EditorProjection(640, 480)));
    const auto x = static_cast<std::size_t>((clip.x / clip.w + 1) / 2 * 640);
    const auto y = static_cast<std::size_t>((1 - clip.y / clip.w) / 2 * 480);
    return image.texels.at(y * 640 + x);
}

// Square i of the 4 x 4 grid, its quadrant q (0 top-left, 1 top-right, 2 bottom-left,
// 3 bottom-right) as seen from +z, where world +x is on the left.
gfx::Vec3 QuadrantCentre(int square, int q) {
    const float x = 1.8f - 1.2f * static_cast<float>(square % 4);
    const float y = 1.8f - 1.2f * static_cast<float>(square / 4);
    return {x + (q % 2 == 0 ? 0.25f : -0.25f), y + (q < 2 ? 0.25f : -0.25f), 0};
}

bool Near(std::uint32_t actual, std::uint32_t expected) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > 1) return false;
    }
    return true;
}

// The model of tests/data/windows drawn from kEye towards the origin.
gfx::Image Render(const std::string& file) {
    const std::string model =
        file.front() == '/' ? file : std::string(POSEWRIGHTER_TEST_DATA) + "/windows/" + file;
    const std::filesystem::path output =
        std::filesystem::temp_directory_path() /
        ("posewrighter_gallery_" + std::to_string(getpid()) + ".png");
    const auto run =
        RunCli("render " + model + " --no-grid --eye 0,0,7 --target 0,0,0 -o " + output.string());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    auto image = gfx::LoadImageFile(output.string());
    std::filesystem::remove(output);
    EXPECT_TRUE(image) << image.error();
    return image ? std::move(*image) : gfx::Image{};
}

TEST(CliRenderWindowsModel, EveryPartTextureAndNormalIsFound) {
    const gfx::Image image = Render("Gallery.pwp");
    ASSERT_EQ(image.texels.size(), 640u * 480u);

    // Textured squares show their texels (emissive white, no blending: alpha does not show).
    struct Square {
        int index;
        const char* texture;
        std::uint32_t quadrants[4];
    };
    const std::uint32_t standard[4] = {kRed, kGreen, kBlue, kWhite};
    const Square squares[] = {
        {2, "rgb24.tga", {kRed, kGreen, kBlue, kWhite}},
        {3, "rgba32_rle.tga", {kRed, kGreen, kBlue, kWhite}},
        {4, "pal8_rle.tga", {kRed, kGreen, kBlue, kWhite}},
        {5, "gray8.tga", {kBlack, 0xFF555555, 0xFFAAAAAA, kWhite}},
        // Three-colour DXT1: the mean of green and red, then transparent black.
        {6, "dxt1.dds", {kRed, kGreen, 0xFF7F7F00, kBlack}},
        {7, "dxt3.dds", {kRed, kGreen, 0xFFAA5500, 0xFF55AA00}},
        {8, "dxt5.dds", {kRed, kGreen, 0xFFAA5500, 0xFF55AA00}},
    };
    for (const Square& s : squares) {
        for (int q = 0; q < 4; ++q) {
            const std::uint32_t pixel = PixelOf(image, QuadrantCentre(s.index, q));
            EXPECT_TRUE(Near(pixel, s.quadrants[q]))
                << s.texture << " quadrant " << q << ": " << std::hex << pixel;
        }
    }
    const char* masked[] = {"a8r8g8b8.dds", "x8r8g8b8.dds", "r8g8b8.dds", "r5g6b5.dds",
                            "a1r5g5b5.dds"};
    for (int i = 0; i < 5; ++i) {
        for (int q = 0; q < 4; ++q) {
            const std::uint32_t pixel = PixelOf(image, QuadrantCentre(9 + i, q));
            EXPECT_TRUE(Near(pixel, standard[q]))
                << masked[i] << " quadrant " << q << ": " << std::hex << pixel;
        }
    }

    // The square whose file has no normals is lit from the front like its twin with normals.
    const std::uint32_t made = PixelOf(image, QuadrantCentre(0, 0));
    const std::uint32_t given = PixelOf(image, QuadrantCentre(1, 0));
    EXPECT_TRUE(Near(made, given)) << std::hex << made << " " << given;
    EXPECT_GE(made & 0xFF, 0x30u) << std::hex << made;
}

// The gallery's lit square, its mesh sized so that model scale x mesh size is the same 3 units
// at every scale: only the scale applied to its normals differs between the pictures.
std::string ScaledSquareModel(const std::filesystem::path& folder, float scale) {
    const std::string half = std::to_string(1.5f / scale);
    const std::string corners[4] = {half + ";" + half, "-" + half + ";" + half,
                                    "-" + half + ";-" + half, half + ";-" + half};
    std::string mesh = "xof 0302txt 0032\r\nMesh Square {\r\n  4;\r\n";
    for (int i = 0; i < 4; ++i) mesh += "  " + corners[i] + ";0.0;" + (i < 3 ? "," : ";") + "\r\n";
    mesh +=
        "  1;\r\n  4;0,1,2,3;;\r\n  MeshNormals {\r\n    1;\r\n    0.0;0.0;1.0;;\r\n    1;\r\n"
        "    4;0,0,0,0;;\r\n  }\r\n  MeshMaterialList {\r\n    1;\r\n    1;\r\n    0;;\r\n"
        "    Material {\r\n      0.8;0.8;0.8;1.0;;\r\n      0.0;\r\n      0.0;0.0;0.0;;\r\n"
        "      0.0;0.0;0.0;;\r\n    }\r\n  }\r\n}\r\n";
    const std::string name = "square_" + std::to_string(static_cast<int>(scale * 100)) + ".x";
    std::ofstream(folder / name, std::ios::binary) << mesh;

    std::ifstream in(std::string(POSEWRIGHTER_TEST_DATA) + "/windows/Scaled.pwp", std::ios::binary);
    std::string part((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    char scaleText[32];
    std::snprintf(scaleText, sizeof scaleText, "%f", static_cast<double>(scale));
    part.replace(part.find("3.000000f"), 8, scaleText);
    part.replace(part.find("\"FRAME_NORMALS.X\""), 17, "\"" + name + "\"");
    const std::filesystem::path model = folder / (name + ".pwp");
    std::ofstream(model, std::ios::binary) << part;
    return model.string();
}

TEST(CliRenderWindowsModel, ModelScaleLeavesTheShadeAsUnscaled) {
    const gfx::Image gallery = Render("Gallery.pwp");
    ASSERT_EQ(gallery.texels.size(), 640u * 480u);
    const std::uint32_t unscaledPixel = PixelOf(gallery, QuadrantCentre(1, 0));
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("posewrighter_scales_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    for (const float scale : {0.01f, 1.0f, 3.0f, 100.0f}) {
        const gfx::Image scaled = Render(ScaledSquareModel(folder, scale));
        ASSERT_EQ(scaled.texels.size(), 640u * 480u);
        for (const gfx::Vec3 at : {gfx::Vec3{0.5f, 0.5f, 0}, gfx::Vec3{-1.2f, -1.2f, 0}}) {
            const std::uint32_t pixel = PixelOf(scaled, at);
            EXPECT_TRUE(Near(pixel, unscaledPixel))
                << "scale " << scale << ": " << std::hex << pixel << " " << unscaledPixel;
        }
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
