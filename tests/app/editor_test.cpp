#include "app/editor/editor.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "framework/debug_log.h"
#include "gfx/math/math.h"
#include "tests/app/editor_test_support.h"
#include "tests/framework/headless_device.h"

namespace {

using framework::testing_support::HeadlessDevice;
using framework::testing_support::PixelAt;
using framework::testing_support::Project;

constexpr std::uint32_t kBackground = 0xFF18415A;
constexpr std::uint32_t kGrey = 0xFF808080;   // the grid
constexpr std::uint32_t kRed = 0xFFFF0000;    // X axis
constexpr std::uint32_t kGreen = 0xFF00FF00;  // Y axis
constexpr std::uint32_t kBlue = 0xFF0000FF;   // Z axis

using app::testing_support::FakeWindow;
using app::testing_support::QuietLog;

class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::remove(settingsPath_); }
    void TearDown() override { std::filesystem::remove(settingsPath_); }

    void WriteSettings(const std::string& text) {
        std::ofstream(settingsPath_, std::ios::binary) << text;
    }
    files::SettingsFile Settings() const { return files::SettingsFile(settingsPath_); }

    const std::filesystem::path settingsPath_ =
        std::filesystem::temp_directory_path() /
        ("posewrighter_editor_" + std::to_string(::getpid()) + ".ini");
    QuietLog quietLog_;
    app::Session session;
    FakeWindow window;
    HeadlessDevice headless;
    scene::OverlayFonts overlay{headless.device};
};

TEST_F(EditorTest, StartupTitlesTheWindowRestoresItsPositionAndMakesTheFont) {
    WriteSettings("[MAIN_WINDOW]\r\nLEFT= 120\r\nTOP= -45\r\n");
    ASSERT_TRUE(headless.created);
    overlay.ConnectDeviceHooks();
    app::Editor editor(session, headless.device, overlay, window, Settings());
    editor.Startup();
    EXPECT_EQ(window.title, "Posewrighter Version 1.02");
    EXPECT_EQ(window.moves, 1);
    EXPECT_EQ(window.frame, (framework::ScreenRect{120, -45, 766, 464}));
    EXPECT_EQ(overlay.HeightKey(0), 10);
    EXPECT_TRUE(overlay.HasFont(0));
}

TEST_F(EditorTest, ShutdownStoresTheWindowPosition) {
    app::Editor editor(session, headless.device, overlay, window, Settings());
    editor.Startup();
    window.frame = {-300, 20, 346, 529};  // moved by the user, partly off the screen
    editor.Shutdown();
    EXPECT_EQ(Settings().Read("MAIN_WINDOW", "LEFT", "none"), "-300");
    EXPECT_EQ(Settings().Read("main_window", "top", "none"), "20");
}

// The main window is on the screen before the panels come up (the window manager keeps them
// above it); the panels close, storing their own positions, before the main window's position is
// stored.
TEST_F(EditorTest, PanelsShowAfterTheWindowIsShownAndCloseBeforeItsPositionIsStored) {
    struct Panels : app::PanelWindows {
        void ShowPanels() override { movesAtShow = window->moves; }
        void ClosePanels() override { storedAtClose = settings->Read("MAIN_WINDOW", "LEFT", ""); }
        FakeWindow* window = nullptr;
        files::SettingsFile* settings = nullptr;
        int movesAtShow = -1;
        std::string storedAtClose = "not closed";
    };
    files::SettingsFile settings = Settings();
    Panels panels;
    panels.window = &window;
    panels.settings = &settings;
    app::Editor editor(session, headless.device, overlay, window, Settings());
    editor.SetPanelWindows(&panels);
    editor.Startup();
    EXPECT_EQ(panels.movesAtShow, 1);
    EXPECT_EQ(window.moves, 2) << "shown, then laid out: no position was stored";
    editor.Shutdown();
    EXPECT_EQ(panels.storedAtClose, "");
    EXPECT_EQ(settings.Read("MAIN_WINDOW", "LEFT", ""), "0");
}

TEST_F(EditorTest, StartupMakesThePanPlaneAndResetsTheAnimationAndClipboards) {
    session.model.animation.frameCount[0] = 12;
    session.model.animation.keyPosition[3][7] = {1.0f, 2.0f, 3.0f};
    session.model.scene.rebuildPosition[5] = {4.0f, 5.0f, 6.0f};
    session.model.clipboards.position = {7.0f, 8.0f, 9.0f};
    session.model.clipboards.orientation = {1.0f, 0.0f, 0.0f, 0.0f};
    WriteSettings("[LIGHT_DIALOG]\r\nPOWER=0.7\r\n");
    app::Editor editor(session, headless.device, overlay, window, Settings());
    editor.Startup();

    const scene::MeshObject& plane = session.panPlaneMesh;
    ASSERT_TRUE(plane.IsLoaded());
    EXPECT_NEAR(plane.boxMax.x - plane.boxMin.x, 10000.0f, 0.01f);
    EXPECT_NEAR(plane.boxMax.y - plane.boxMin.y, 10000.0f, 0.01f);
    EXPECT_NEAR(plane.boxMax.z - plane.boxMin.z, 0.0001f, 1e-6f);
    ASSERT_EQ(plane.materials.size(), 1u);
    EXPECT_EQ(plane.materials[0].diffuse, (gfx::ColourValue{1.0f, 1.0f, 0.0f, 1.0f}));
    EXPECT_EQ(plane.materials[0].ambient, (gfx::ColourValue{1.0f, 1.0f, 0.0f, 1.0f}));
    EXPECT_EQ(session.panPlane.mesh, &session.panPlaneMesh);
    EXPECT_EQ(session.panPlane.WorldPosition(), (gfx::Vec3{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(session.panPlane.scale, 1.0f);

    EXPECT_EQ(session.model.animation.frameCount[0], 0);
    EXPECT_EQ(session.model.animation.keyPosition[3][7], (gfx::Vec3{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(session.model.scene.rebuildPosition[5], (gfx::Vec3{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(session.model.clipboards.position, (gfx::Vec3{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(session.model.clipboards.orientation, (gfx::Quat{0.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(session.panels.lightPowerPosition, 7);  // the Lighting panel's Power position
}

TEST(EditorProjection, FortyFiveDegreesAtTheBackBufferAspect) {
    const gfx::Matrix p = app::EditorProjection(640, 480);
    const double yScale = 1.0 / std::tan(3.14159265358979 / 8.0);  // cot(fov / 2)
    EXPECT_NEAR(p.m[1][1], yScale, 1e-5);
    EXPECT_NEAR(p.m[0][0], yScale * 480.0 / 640.0, 1e-5);
    // Depth 0 at the near plane (0.1) and 1 at the far plane (10000).
    for (const auto& [z, depth] : {std::pair{0.1f, 0.0f}, std::pair{10000.0f, 1.0f}}) {
        const gfx::Vec4 clip = gfx::Vec3Transform({0.0f, 0.0f, z}, p);
        EXPECT_NEAR(clip.z / clip.w, depth, 1e-5f);
    }
}

// The colour of the pixel that shows the world point, or of a neighbour when the line lies half
// a pixel off (rasterisation may pick either side).
bool ColourNear(const std::vector<std::uint32_t>& pixels, const gfx::Matrix& view,
                const gfx::Matrix& projection, gfx::Vec3 point, std::uint32_t colour) {
    const auto screen = Project(point, view, projection);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (PixelAt(pixels, screen.Column() + dx, screen.Row() + dy) == colour) return true;
        }
    }
    return false;
}

TEST_F(EditorTest, TheFrameClearsAndDrawsTheGridAndTheAxes) {
    ASSERT_TRUE(headless.created);
    app::Editor editor(session, headless.device, overlay, window, Settings());
    editor.Startup();
    editor.DrawView();
    const std::vector<std::uint32_t> pixels = headless.device.ReadPixels();
    ASSERT_EQ(pixels.size(), 640u * 480u);
    const gfx::Matrix& view = headless.device.transforms.ViewMatrix;
    const gfx::Matrix& projection = headless.device.transforms.ProjectionMatrix;

    EXPECT_EQ(PixelAt(pixels, 5, 5), kBackground);  // the sky above the floor
    EXPECT_TRUE(ColourNear(pixels, view, projection, {0.0f, 1.0f, 0.0f}, kGreen));
    EXPECT_TRUE(ColourNear(pixels, view, projection, {1.0f, 0.0f, 0.0f}, kRed));
    // A grid line away from the axes: x = -2.4 (line 4), between the cross lines z = 0 and 0.4.
    EXPECT_TRUE(ColourNear(pixels, view, projection, {-2.4f, 0.0f, 0.2f}, kGrey));
    // The grid ends at 4: nothing is drawn just beyond its far corner.
    EXPECT_FALSE(ColourNear(pixels, view, projection, {4.4f, 0.0f, -4.4f}, kGrey));

    // Lines are unlit and unblended: only the five colours appear.
    std::set<std::uint32_t> colours(pixels.begin(), pixels.end());
    EXPECT_EQ(colours, (std::set<std::uint32_t>{kBackground, kGrey, kRed, kGreen, kBlue}));
}

TEST_F(EditorTest, WithoutTheGridBoxTheViewIsOnlyTheBackground) {
    ASSERT_TRUE(headless.created);
    session.panels.gridTicked = false;
    app::Editor editor(session, headless.device, overlay, window, Settings());
    editor.Startup();
    editor.DrawView();
    const std::vector<std::uint32_t> pixels = headless.device.ReadPixels();
    const std::set<std::uint32_t> colours(pixels.begin(), pixels.end());
    EXPECT_EQ(colours, std::set<std::uint32_t>{kBackground});
}

}  // namespace
