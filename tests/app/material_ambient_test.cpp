// A part recoloured to its own colour through the Material panel's list looks exactly as loaded,
// and its side turned from the light shows its ambient colour rather than black.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/core/documents.h"
#include "app/core/material_list.h"
#include "app/core/session.h"
#include "app/core/stored_light.h"
#include "app/drawing/frame_rendering.h"
#include "app/editor/editor.h"
#include "framework/debug_log.h"
#include "scene/draw_primitives.h"
#include "tests/app/editor_test_support.h"
#include "tests/framework/headless_device.h"

namespace {

using framework::testing_support::HeadlessDevice;
using framework::testing_support::PixelAt;
using framework::testing_support::Project;
using Pixels = std::vector<std::uint32_t>;

// tests/data/ambient/cube.pwp: a unit cube at the origin, diffuse (0.8, 0.6, 0.4).
const std::string kCube = POSEWRIGHTER_TEST_DATA "/ambient/cube.pwp";
constexpr std::string_view kCubeKey = "0.8000.6000.400";
// The side turned from the editor's default light (+x): 0.4 x the diffuse colour under the
// scene's ambient light 0x80 (0.502): (0.161, 0.120, 0.080).
constexpr std::uint32_t kUnlitSide = 0xFF291F14;

using app::testing_support::QuietLog;

bool Near(std::uint32_t actual, std::uint32_t expected) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > 1) return false;
    }
    return true;
}

class MaterialAmbientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(headless.created);
        overlay.Create(0, app::kOverlayFace, app::kOverlayHeight, app::kOverlayWeight);
        framework::ViewTransforms& transforms = session->editor.Camera;
        transforms.ProjectionMatrix = app::EditorProjection(640, 480);
        // Sees the unlit +x side and the lit +y and +z sides.
        scene::SetView(transforms, {3, 2, 4}, {0, 0, 0}, {0, 1, 0});
        app::ApplyStoredLight(session->editor, {});
        session->textures.SetUploader(&headless.device);
        ASSERT_TRUE(app::OpenPartFile(session->model, kCube));
        session->panels.gridTicked = false;
    }
    void TearDown() override { std::filesystem::remove(settingsPath); }

    Pixels Draw() {
        const app::EditorState& state = session->editor;
        app::RenderFrame({headless.device, overlay, session->model.parts, session->model.scene,
                          session->panels, state.Camera, state.Light},
                         {});
        return headless.device.ReadPixels();
    }
    std::uint32_t PixelOf(const Pixels& pixels, gfx::Vec3 point) const {
        const auto& t = session->editor.Camera;
        const auto screen = Project(point, t.ViewMatrix, t.ProjectionMatrix);
        return PixelAt(pixels, screen.Column(), screen.Row());
    }

    QuietLog quietLog;
    HeadlessDevice headless;
    scene::OverlayFonts overlay{headless.device};
    std::unique_ptr<app::Session> session = std::make_unique<app::Session>();
    const std::filesystem::path settingsPath =
        std::filesystem::temp_directory_path() /
        ("posewrighter_ambient_" + std::to_string(::getpid()) + ".ini");
    files::SettingsFile settings{settingsPath};
};

TEST_F(MaterialAmbientTest, TheLoadedCubeShowsItsUnlitSideInItsAmbientColour) {
    const Pixels pixels = Draw();
    const std::uint32_t unlit = PixelOf(pixels, {0.5f, 0, 0});
    EXPECT_TRUE(Near(unlit, kUnlitSide)) << std::hex << unlit;
    // The lit sides are brighter still, in the same hue.
    for (const gfx::Vec3 side : {gfx::Vec3{0, 0.5f, 0}, gfx::Vec3{0, 0, 0.5f}}) {
        const std::uint32_t lit = PixelOf(pixels, side);
        EXPECT_GT((lit >> 16) & 0xFF, (lit >> 8) & 0xFF) << std::hex << lit;
        EXPECT_GT((lit >> 8) & 0xFF, lit & 0xFF) << std::hex << lit;
        EXPECT_GT(lit & 0xFF, kUnlitSide & 0xFF) << std::hex << lit;
    }
}

TEST_F(MaterialAmbientTest, RecolouringToItsOwnColourChangesNoPixel) {
    const Pixels loaded = Draw();
    struct Way {
        const char* name;
        const char* stored;  // the [MATERIAL] value for the cube's colour; null: none
        bool trackBars;      // the row then selected and a track bar let go where it stands
    };
    const Way ways[] = {
        {"listed without a replacement", nullptr, false},
        {"a stored replacement by the same colour", "0.8000.6000.400", false},
        {"a track bar let go at the row's own colour", nullptr, true},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        ASSERT_TRUE(app::OpenPartFile(session->model, kCube));  // fresh materials
        if (way.stored != nullptr) {
            ASSERT_TRUE(settings.Write(app::kMaterialSection, kCubeKey, way.stored));
        }
        session->materials = {};
        app::RebuildMaterialList(session->materials, session->PartMeshes(), settings);
        ASSERT_EQ(session->materials.rows.size(), 1u);
        if (way.trackBars) {
            app::SelectMaterialRow(session->materials, 0);
            app::EndMaterialSliderChange(session->materials, session->PartMeshes(), 0,
                                         session->materials.sliders[0]);
        }
        EXPECT_EQ(session->model.scene.mesh[0].materials[0].diffuse,
                  (gfx::ColourValue{0.8f, 0.6f, 0.4f, 0.999f}));
        EXPECT_EQ(Draw(), loaded);
        std::filesystem::remove(settingsPath);
    }
}

}  // namespace
