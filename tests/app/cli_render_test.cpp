// posewrighter-cli render: the editor's frame drawn headless into a PNG.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "gfx/image/image.h"
#include "tests/app/run_cli.h"

namespace {

using testing_cli::RunCli;

const std::filesystem::path kRobotFolder = POSEWRIGHTER_TEST_DATA "/../../samples/robot";
const std::string kRobot = (kRobotFolder / "robot.pwp").string();
const std::string kWalk = (kRobotFolder / "robot.pwa").string();
constexpr std::uint32_t kBackground = 0xFF18415A;
constexpr std::uint32_t kMagenta = 0xFFFF00FF;
constexpr std::uint32_t kGrid = 0xFF808080;

class CliRenderTest : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove(output_); }

    // Renders with the arguments and decodes the picture.
    gfx::Image Render(const std::string& arguments) {
        const auto run = RunCli("render " + arguments + " -o " + output_.string());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        auto image = gfx::LoadImageFile(output_.string());
        EXPECT_TRUE(image) << image.error();
        return image ? std::move(*image) : gfx::Image{};
    }

    const std::filesystem::path output_ =
        std::filesystem::temp_directory_path() /
        ("posewrighter_render_" + std::to_string(::getpid()) + ".png");
};

int Count(const gfx::Image& image, std::uint32_t colour, int top = 0, int left = 0,
          int bottom = 480, int right = 640) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += image.texels.at(static_cast<std::size_t>(y) * 640 + x) == colour;
        }
    }
    return count;
}

int NotBackground(const gfx::Image& image, int top, int left, int bottom, int right) {
    const int area = (bottom - top) * (right - left);
    return area - Count(image, kBackground, top, left, bottom, right);
}

TEST_F(CliRenderTest, WritesThe640By480ViewWithTheRobotOnTheGrid) {
    const gfx::Image image = Render(kRobot);
    ASSERT_EQ(image.width, 640u);
    ASSERT_EQ(image.height, 480u);
    EXPECT_EQ(image.texels[0], kBackground);
    // The floor's grid near the bottom edge, and the robot in the middle of the view.
    EXPECT_GT(Count(image, kGrid, 440, 0, 480, 640), 100);
    EXPECT_GT(NotBackground(image, 150, 280, 320, 360) - Count(image, kGrid, 150, 280, 320, 360),
              5000);
}

TEST_F(CliRenderTest, TheFaceTextureShowsItsEyeColour) {
    // The eyes of face.png are (0, 230, 255) and the face screen is fully emissive, so the texel
    // colour appears as it is (within rounding) where the camera looks at the face. The test runs
    // from another folder: the texture is found beside the head's .x file.
    const gfx::Image image = Render(kRobot + " --no-grid --eye 0,2.2,3 --target 0,1.8,0");
    int eyeTexels = 0;
    for (std::uint32_t texel : image.texels) {
        const int r = (texel >> 16) & 0xFF, g = (texel >> 8) & 0xFF, b = texel & 0xFF;
        eyeTexels += r <= 2 && std::abs(g - 230) <= 2 && b >= 253;
    }
    EXPECT_GT(eyeTexels, 100);
}

TEST_F(CliRenderTest, OutlinesOnlyWithTheOutlineSwitch) {
    EXPECT_EQ(Count(Render(kRobot), kMagenta), 0);
    EXPECT_GT(Count(Render(kRobot + " --outline"), kMagenta), 200);
}

TEST_F(CliRenderTest, ASelectionAddsThePoseTextAndAKeyMovesTheParts) {
    const gfx::Image plain = Render(kRobot + " --anim " + kWalk + " --key 1");
    EXPECT_EQ(NotBackground(plain, 0, 0, 28, 200), 0);
    const gfx::Image selected = Render(kRobot + " --anim " + kWalk + " --key 1 --select 2");
    EXPECT_GT(NotBackground(selected, 0, 0, 28, 200), 50);
    const gfx::Image otherKey = Render(kRobot + " --anim " + kWalk + " --key 2");
    EXPECT_NE(plain.texels, otherKey.texels);
}

TEST_F(CliRenderTest, TheEyeAndTargetMoveTheCamera) {
    // Looking at the robot from far to the side puts it away from the centre column.
    const gfx::Image front = Render(kRobot + " --no-grid");
    const gfx::Image away = Render(kRobot + " --no-grid --eye 0,1,8 --target 5,1,0");
    EXPECT_GT(NotBackground(front, 150, 300, 320, 340), 1000);
    EXPECT_EQ(NotBackground(away, 150, 300, 320, 340), 0);
}

TEST_F(CliRenderTest, ASideTurnedFromTheLightShowsTheAmbientColourNotBlack) {
    // tests/data/ambient/cube.pwp: a unit cube, diffuse (0.8, 0.6, 0.4), its file giving no
    // ambient colour. Seen straight on, the +x side is turned from the default light: 0.4 x the
    // diffuse colour under the ambient light 0x80. The -x side is lit as well.
    const std::string cube = POSEWRIGHTER_TEST_DATA "/ambient/cube.pwp --no-grid --target 0,0,0";
    const std::uint32_t unlit = Render(cube + " --eye 4,0,0").texels.at(240 * 640 + 320);
    const std::uint32_t lit = Render(cube + " --eye -4,0,0").texels.at(240 * 640 + 320);
    EXPECT_EQ(unlit, 0xFF291F14u) << std::hex << unlit;
    for (int shift : {0, 8, 16}) {
        EXPECT_GT((lit >> shift) & 0xFF, (unlit >> shift) & 0xFF) << std::hex << lit;
    }
}

TEST_F(CliRenderTest, AnObjPartShowsItsTextureUprightAndUnmirrored) {
    // A 2 x 2 square facing the OBJ's +z, its fully emissive texture red, green / blue, yellow
    // in quadrants, found beside the library in another folder. Seen from the mirrored side it
    // is drawn upright, unmirrored and not culled. obj/windows holds the same files as a
    // Windows tool lays them out: CR LF, a backslash, other letter cases and a Shift-JIS
    // picture name.
    for (const char* model : {"/obj/textured.pwp", "/obj/windows/Square.pwp"}) {
        const gfx::Image image = Render(std::string(POSEWRIGHTER_TEST_DATA) + model +
                                        " --no-grid --eye 0,0,-3 --target 0,0,0");
        const auto at = [&](int x, int y) { return image.texels.at(y * 640 + x) & 0xFFFFFFu; };
        EXPECT_EQ(at(223, 143), 0xFF0000u) << model << std::hex << " " << at(223, 143);
        EXPECT_EQ(at(417, 143), 0x00FF00u) << model << std::hex << " " << at(417, 143);
        EXPECT_EQ(at(223, 337), 0x0000FFu) << model << std::hex << " " << at(223, 337);
        EXPECT_EQ(at(417, 337), 0xFFFF00u) << model << std::hex << " " << at(417, 337);
    }
}

// --size draws at that many pixels, as the editor's view does in a window of that size: the
// robot stays at the same fraction of the picture and the grid keeps one-pixel lines (twice the
// width and height give about twice the grid's pixels, where an enlarged picture has four times).
TEST_F(CliRenderTest, SizeDrawsTheViewAtThatManyPixels) {
    const gfx::Image small = Render(kRobot);
    const gfx::Image large = Render(kRobot + " --size 1280x960");
    ASSERT_EQ(large.width, 1280u);
    ASSERT_EQ(large.height, 960u);
    ASSERT_EQ(large.texels.size(), 1280u * 960u);
    const auto count = [](const gfx::Image& image, std::uint32_t colour) {
        return std::count(image.texels.begin(), image.texels.end(), colour);
    };
    const double ratio =
        static_cast<double>(count(large, kGrid)) / static_cast<double>(count(small, kGrid));
    EXPECT_GT(ratio, 1.7);
    EXPECT_LT(ratio, 2.4);
    // The robot's body at the same fraction of either picture (its middle, 320 x 215 of 640 x 480).
    EXPECT_NE(small.texels.at(215u * 640u + 320u), kBackground);
    EXPECT_NE(large.texels.at(430u * 1280u + 640u), kBackground);

    const gfx::Image wide = Render(kRobot + " --size 1280x720");
    ASSERT_EQ(wide.width, 1280u);
    ASSERT_EQ(wide.height, 720u);
    EXPECT_NE(wide.texels.at(322u * 1280u + 640u), kBackground);
}

TEST(CliRender, BadArgumentsAreRefusedWithoutAPicture) {
    const std::string out = " -o /tmp/posewrighter_never_" + std::to_string(::getpid()) + ".png";
    struct Case {
        std::string arguments;
        int exitCode;
    };
    const Case cases[] = {
        {kRobot, 2},                          // no -o
        {kRobot + out + " --key 1", 2},       // a key without an animation
        {kRobot + out + " --onion", 2},       // ghosts of no key
        {kRobot + out + " --eye 1,2", 2},     // two coordinates
        {kRobot + out + " --select x", 2},    // not a number
        {kRobot + out + " --frobnicate", 2},  // unknown switch
        {kRobot + out + " --select 12", 1},   // parts are 0..11
        {kRobot + out + " --anim " + kWalk + " --key 17", 1},
        {(kRobotFolder / "missing.pwp").string() + out, 1},
        {kRobot + out + " --size 1280", 2},       // no height
        {kRobot + out + " --size 0x480", 2},      // a side below one pixel
        {kRobot + out + " --size 640x-480", 2},   // negative
        {kRobot + out + " --size 9000x480", 2},   // beyond 8192
        {kRobot + out + " --size 640x480x2", 2},  // trailing text
        {kRobot + out + " --size", 2},            // no value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto run = RunCli("render " + c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_FALSE(
        std::filesystem::exists("/tmp/posewrighter_never_" + std::to_string(::getpid()) + ".png"));
}

TEST(CliRender, NumbersThatAreNotFiniteAreRefusedWithTheOptionNamed) {
    const std::string picture =
        "/tmp/posewrighter_never_finite_" + std::to_string(::getpid()) + ".png";
    const std::pair<std::string, std::string> cases[] = {
        {"--eye nan,nan,nan", "--eye"},    {"--eye 0,inf,8", "--eye"},
        {"--target -inf,1,0", "--target"}, {"--target 0,1,NAN", "--target"},
        {"--eye 1e39,2,8", "--eye"},       {"--eye infinity,2,8", "--eye"},
    };
    for (const auto& [option, name] : cases) {
        const auto run = RunCli("render " + kRobot + " " + option + " -o " + picture);
        EXPECT_EQ(run.exitCode, 2) << option;
        const std::string value = option.substr(option.find(' ') + 1);
        EXPECT_EQ(run.err,
                  "render: " + name + " takes three finite numbers X,Y,Z, not \"" + value + "\"\n");
    }
    EXPECT_FALSE(std::filesystem::exists(picture));
}

}  // namespace
