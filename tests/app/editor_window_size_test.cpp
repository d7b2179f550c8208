// The editor's view follows the main window's size: the stored size comes back at start-up
// (fitted to the screen), each frame resizes the back buffer and the projection to the window's
// device pixels, and shutdown stores the size.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/editor/editor.h"
#include "tests/app/editor_test_support.h"
#include "tests/framework/headless_device.h"

namespace {

using app::testing_support::FakeWindow;
using app::testing_support::QuietLog;
using framework::testing_support::HeadlessDevice;

constexpr std::uint32_t kGrey = 0xFF808080;  // the grid

class EditorWindowSizeTest : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::remove(settingsPath_); }
    void TearDown() override { std::filesystem::remove(settingsPath_); }

    void WriteSettings(const std::string& text) {
        std::ofstream(settingsPath_, std::ios::binary) << text;
    }
    files::SettingsFile Settings() const { return files::SettingsFile(settingsPath_); }

    // The window's client area changed by the user: logical size and device pixels.
    void Resize(app::ViewSize logical, app::ViewSize pixels) {
        window.client = {logical, pixels};
        window.frame.right = window.frame.left + logical.width + 6;
        window.frame.bottom = window.frame.top + logical.height + 29;
    }
    long GreyPixels() {
        const std::vector<std::uint32_t> pixels = headless.device.ReadPixels();
        return static_cast<long>(std::count(pixels.begin(), pixels.end(), kGrey));
    }

    const std::filesystem::path settingsPath_ =
        std::filesystem::temp_directory_path() /
        ("posewrighter_window_size_" + std::to_string(::getpid()) + ".ini");
    QuietLog quietLog_;
    app::Session session;
    FakeWindow window;
    HeadlessDevice headless;
    scene::OverlayFonts overlay{headless.device};
};

TEST_F(EditorWindowSizeTest, StartupGivesTheWindowItsStoredSizeFittedToTheScreen) {
    struct Case {
        const char* name;
        std::string settings;
        app::ViewSize expected;
        int resizes;
    };
    // FakeWindow's screen is 1024 x 768; its frame adds 6 across and 29 down.
    const std::vector<Case> cases = {
        {"first start", "", {640, 480}, 0},
        {"an older file without a size", "[MAIN_WINDOW]\r\nLEFT= 10\r\nTOP= 10\r\n", {640, 480}, 0},
        {"stored",
         "[MAIN_WINDOW]\r\nLEFT= 0\r\nTOP= 0\r\nWIDTH= 800\r\nHEIGHT= 600\r\n",
         {800, 600},
         1},
        {"larger than the screen",
         "[MAIN_WINDOW]\r\nWIDTH= 1280\r\nHEIGHT= 960\r\n",
         {1018, 739},
         1},
        {"below the minimum", "[MAIN_WINDOW]\r\nWIDTH= 100\r\nHEIGHT= 100\r\n", {320, 240}, 1},
    };
    for (const Case& c : cases) {
        window = FakeWindow();
        WriteSettings(c.settings);
        app::Editor editor(session, headless.device, overlay, window, Settings());
        editor.Startup();
        EXPECT_EQ(window.client.logical, c.expected) << c.name;
        EXPECT_EQ(window.resizes, c.resizes) << c.name;
        // Shown where it is, then moved to its first-start place when no position is stored.
        const bool positionStored = c.settings.find("LEFT") != std::string::npos;
        EXPECT_EQ(window.moves, positionStored ? 1 : 2) << c.name;
    }
}

TEST_F(EditorWindowSizeTest, ShutdownStoresTheClientSizeBesideThePosition) {
    app::Editor editor(session, headless.device, overlay, window, Settings());
    editor.Startup();
    Resize({1000, 700}, {2000, 1400});  // at a device pixel ratio of 2: logical pixels stored
    editor.Shutdown();
    const files::SettingsFile settings = Settings();
    EXPECT_EQ(settings.Read("MAIN_WINDOW", "WIDTH", "none"), "1000");
    EXPECT_EQ(settings.Read("MAIN_WINDOW", "HEIGHT", "none"), "700");
    EXPECT_EQ(settings.Read("MAIN_WINDOW", "LEFT", "none"), "0");

    // The next start gives the window that size again.
    FakeWindow next;
    app::Editor again(session, headless.device, overlay, next, Settings());
    again.Startup();
    EXPECT_EQ(next.client.logical, (app::ViewSize{1000, 700}));
}

TEST_F(EditorWindowSizeTest, EachFrameFitsTheBackBufferAndTheProjectionToTheWindowsPixels) {
    ASSERT_TRUE(headless.created);
    app::Editor editor(session, headless.device, overlay, window, Settings());
    editor.Startup();
    struct Case {
        app::ViewSize logical, pixels;
    };
    for (const Case& c : {Case{{640, 480}, {640, 480}}, Case{{1280, 720}, {1280, 720}},
                          Case{{640, 360}, {1280, 720}}, Case{{400, 400}, {500, 500}},
                          Case{{640, 480}, {640, 480}}}) {
        Resize(c.logical, c.pixels);
        editor.Frame(framework::InputState{});
        framework::GraphicsDevice& device = headless.device;
        EXPECT_EQ(device.ScreenWidth(), c.pixels.width);
        EXPECT_EQ(device.ScreenHeight(), c.pixels.height);
        EXPECT_EQ(device.ReadPixels().size(),
                  static_cast<std::size_t>(c.pixels.width) * c.pixels.height);
        const gfx::Matrix& p = session.editor.Camera.ProjectionMatrix;
        EXPECT_NEAR(p.m[1][1] / p.m[0][0],
                    static_cast<float>(c.pixels.width) / static_cast<float>(c.pixels.height),
                    1e-5f);
        // The device draws with the same projection the pointer ray reads.
        EXPECT_EQ(device.GetTransform(framework::TransformState::kProjection).m[0][0], p.m[0][0]);
    }
}

TEST_F(EditorWindowSizeTest, AWindowWithoutPixelsKeepsTheView) {
    app::Editor editor(session, headless.device, overlay, window, Settings());
    editor.Startup();
    Resize({0, 0}, {0, 0});  // minimised
    editor.Frame(framework::InputState{});
    EXPECT_EQ(headless.device.ScreenWidth(), 640);
    EXPECT_EQ(headless.device.ScreenHeight(), 480);
}

// Drawn at the window's pixels, not a 640 x 480 picture enlarged: twice the width and height
// make the one-pixel grid lines twice as long, not twice as thick, so the grid has about twice
// the pixels (an enlarged picture would have four times as many).
TEST_F(EditorWindowSizeTest, TheGridKeepsOnePixelLinesInALargerView) {
    ASSERT_TRUE(headless.created);
    app::Editor editor(session, headless.device, overlay, window, Settings());
    editor.Startup();
    editor.DrawView();
    const long small = GreyPixels();
    ASSERT_GT(small, 1000);
    Resize({1280, 960}, {1280, 960});
    editor.Frame(framework::InputState{});
    editor.DrawView();
    const double ratio = static_cast<double>(GreyPixels()) / static_cast<double>(small);
    EXPECT_GT(ratio, 1.7);
    EXPECT_LT(ratio, 2.4);
}

}  // namespace
