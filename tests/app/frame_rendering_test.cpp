#include "app/drawing/frame_rendering.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "app/core/editor_actions.h"
#include "app/core/session.h"
#include "app/core/stored_light.h"
#include "app/drawing/manipulator_drawing.h"
#include "app/editor/editor.h"
#include "app/steps/view_geometry.h"
#include "framework/debug_log.h"
#include "gfx/math/math.h"
#include "tests/app/editor_test_support.h"
#include "tests/framework/headless_device.h"

namespace {

using framework::testing_support::HeadlessDevice;
using framework::testing_support::PixelAt;
using framework::testing_support::Project;

constexpr std::uint32_t kBackground = 0xFF18415A;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr gfx::Vec3 kPartCentre{0.0f, 1.0f, 0.0f};  // where the default camera looks

using app::testing_support::QuietLog;

// One grey box part, 1 unit wide, at (0, 1, 0) under the editor's initial camera; grid off so
// that pure red, green, blue and yellow can only come from the manipulator.
class FrameRenderingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(headless.created);
        overlay.Create(0, app::kOverlayFace, app::kOverlayHeight, app::kOverlayWeight);
        framework::ViewTransforms& transforms = session->editor.Camera;
        transforms.ProjectionMatrix = app::EditorProjection(640, 480);
        app::FrameView(transforms, nullptr);
        app::ApplyStoredLight(session->editor, {});
        model::PartTable& parts = session->model.parts;
        editing::PartScene& partScene = session->model.scene;
        ASSERT_TRUE(partScene.mesh[0].CreateBox(1.0f, 1.0f, 1.0f, {0.5f, 0.5f, 0.5f, 1.0f}));
        partScene.node[0].Bind(partScene.mesh[0], kPartCentre, 1.0f);
        parts.count = 1;
        session->panels.gridTicked = false;
    }

    std::vector<std::uint32_t> Draw(app::FrameModes modes) {
        const app::EditorState& state = session->editor;
        app::DrawFrame({headless.device, overlay, session->model.parts, session->model.scene,
                        session->panels, state.Camera, state.Light},
                       modes);
        return headless.device.ReadPixels();
    }

    bool Near(const std::vector<std::uint32_t>& pixels, gfx::Vec3 point, std::uint32_t colour) {
        const auto& t = session->editor.Camera;
        const auto screen = Project(point, t.ViewMatrix, t.ProjectionMatrix);
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (PixelAt(pixels, screen.Column() + dx, screen.Row() + dy) == colour) return true;
            }
        }
        return false;
    }

    float HandleRadius() const { return session->model.scene.node[0].BoundingSphere().radius; }

    QuietLog quietLog;
    HeadlessDevice headless;
    scene::OverlayFonts overlay{headless.device};
    std::unique_ptr<app::Session> session = std::make_unique<app::Session>();
};

std::set<std::uint32_t> Colours(const std::vector<std::uint32_t>& pixels) {
    return {pixels.begin(), pixels.end()};
}

// Pixels that differ from the background in the strip of the two text lines, left of the part.
int TextPixels(const std::vector<std::uint32_t>& pixels) {
    int count = 0;
    for (int y = 0; y < 28; ++y) {
        for (int x = 0; x < 200; ++x) count += PixelAt(pixels, x, y) != kBackground;
    }
    return count;
}

TEST_F(FrameRenderingTest, WithoutASelectionOnlyThePartIsDrawn) {
    const auto pixels = Draw({model::kNoPart});
    const auto colours = Colours(pixels);
    for (std::uint32_t colour : {kRed, kGreen, kBlue, kYellow})
        EXPECT_EQ(colours.count(colour), 0u);
    EXPECT_EQ(TextPixels(pixels), 0);
    // The box itself is there, lit grey over the background.
    const auto centre = Project(kPartCentre, session->editor.Camera.ViewMatrix,
                                session->editor.Camera.ProjectionMatrix);
    EXPECT_NE(PixelAt(pixels, centre.Column(), centre.Row()), kBackground);
}

TEST_F(FrameRenderingTest, ASelectionShowsTheIdleManipulatorAndThePoseText) {
    const auto pixels = Draw({0});
    // The pivot marker: a small circle around the pivot.
    EXPECT_TRUE(Near(pixels, kPartCentre + gfx::Vec3{0, app::kPivotMarkerRadius, 0}, kYellow) ||
                Near(pixels, kPartCentre - gfx::Vec3{0, app::kPivotMarkerRadius, 0}, kYellow));
    const float r = HandleRadius();
    // The three lines, checked halfway out along each axis.
    EXPECT_TRUE(Near(pixels, kPartCentre + gfx::Vec3{r / 2, 0, 0}, kRed));
    EXPECT_TRUE(Near(pixels, kPartCentre + gfx::Vec3{0, r / 2, 0}, kGreen));
    const auto colours = Colours(pixels);
    EXPECT_EQ(colours.count(kBlue), 1u);  // the Z ring faces the camera
    EXPECT_GT(TextPixels(pixels), 50);
    EXPECT_EQ(colours.count(app::kOverlayTextColour), 1u);
}

TEST_F(FrameRenderingTest, EachHandleModeShowsItsOwnAxes) {
    using app::HandleMode;
    constexpr app::DragPhase kArmed = app::DragPhase::kArmed;
    constexpr app::DragPhase kDragging = app::DragPhase::kDragging;
    struct Case {
        HandleMode mode;
        app::DragPhase phase;
        std::set<std::uint32_t> shown;
    };
    const Case cases[] = {
        {HandleMode::kMoveX, kDragging, {kRed}},   {HandleMode::kMoveY, kDragging, {kGreen}},
        {HandleMode::kMoveZ, kDragging, {kBlue}},  {HandleMode::kTurnX, kDragging, {kRed}},
        {HandleMode::kTurnY, kDragging, {kGreen}}, {HandleMode::kTurnZ, kDragging, {kBlue}},
        {HandleMode::kMoveX, kArmed, {}},          {HandleMode::kMoveY, kArmed, {}},
        {HandleMode::kMoveZ, kArmed, {}},          {HandleMode::kTurnX, kArmed, {}},
        {HandleMode::kTurnY, kArmed, {}},          {HandleMode::kTurnZ, kArmed, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode) + (c.phase == kDragging ? 10 : 0));
        const auto colours = Colours(Draw({0, c.mode, c.phase}));
        EXPECT_EQ(colours.count(kYellow), 1u);  // the pivot marker in every mode
        for (std::uint32_t axis : {kRed, kGreen, kBlue}) {
            EXPECT_EQ(colours.count(axis), c.shown.count(axis));
        }
    }
}

TEST_F(FrameRenderingTest, LocalAxesTurnWithThePartWorldAxesDoNot) {
    session->model.scene.node[0].TurnLocalZ(std::numbers::pi_v<float> / 4);
    const float r = HandleRadius() * 0.7f;
    const float d = r / std::sqrt(2.0f);
    const gfx::Vec3 alongTurnedX = kPartCentre + gfx::Vec3{d, d, 0};
    const gfx::Vec3 alongWorldX = kPartCentre + gfx::Vec3{r, 0, 0};

    session->panels.handlingLocal = true;
    const app::FrameModes movingX{0, app::HandleMode::kMoveX, app::DragPhase::kDragging};
    auto pixels = Draw(movingX);
    EXPECT_TRUE(Near(pixels, alongTurnedX, kRed));
    EXPECT_FALSE(Near(pixels, alongWorldX, kRed));

    session->panels.handlingLocal = false;
    pixels = Draw(movingX);
    EXPECT_FALSE(Near(pixels, alongTurnedX, kRed));
    EXPECT_TRUE(Near(pixels, alongWorldX, kRed));
}

TEST_F(FrameRenderingTest, AHiddenSelectedPartKeepsItsManipulatorAndText) {
    session->panels.partVisible[0] = false;
    const auto pixels = Draw({0, app::HandleMode::kMoveX, app::DragPhase::kDragging});
    const gfx::Vec3 boxFaceBelowPivot = kPartCentre + gfx::Vec3{0, -0.3f, 0.5f};
    EXPECT_TRUE(Near(pixels, boxFaceBelowPivot, kBackground));
    EXPECT_EQ(Colours(pixels).count(kYellow), 1u);  // the pivot marker
    EXPECT_GT(TextPixels(pixels), 50);
}

TEST_F(FrameRenderingTest, TheLightMarkerShowsOnlyWhileTheLightIsAimed) {
    // Light shining down and away from the camera: it comes from above the front of the floor.
    app::SetLight(session->editor, {0, -1, -1}, 0.5f);
    const float s = 4.0f / std::sqrt(2.0f);
    const gfx::Vec3 marker{0, s, s};
    EXPECT_FALSE(Near(Draw({model::kNoPart}), marker, kYellow));
    const auto pixels = Draw({model::kNoPart, app::HandleMode::kIdle, app::DragPhase::kArmed,
                              app::LightDragMode::kTilt});
    EXPECT_TRUE(Near(pixels, marker, kYellow));
    EXPECT_TRUE(Near(pixels, marker * 0.5f, kYellow));  // the line back to the origin
}

// The device keeps none of the editor's state: each frame it takes the session's camera and
// light, whatever was set on it before.
TEST_F(FrameRenderingTest, EveryFrameHandsTheDeviceTheSessionsCameraAndLight) {
    using framework::TransformState;
    app::EditorState& state = session->editor;
    for (const float power : {0.3f, 0.9f}) {
        SCOPED_TRACE(power);
        headless.device.SetTransform(TransformState::kView, gfx::MatrixIdentity());
        scene::SetDirectionalLight(headless.device, {1, 0, 0}, 0.1f, 0.1f, 0.1f, 0);
        scene::SetView(state.Camera, {power, 3, -5}, {0, 0, 0}, {0, 1, 0});
        app::SetLight(state, {0, -2, 1}, power);
        Draw({model::kNoPart});
        EXPECT_EQ(headless.device.GetTransform(TransformState::kView), state.Camera.ViewMatrix);
        EXPECT_EQ(headless.device.GetTransform(TransformState::kProjection),
                  state.Camera.ProjectionMatrix);
        const framework::Light& light = scene::CurrentLight(headless.device);
        EXPECT_EQ(light.diffuse, (gfx::ColourValue{power, power, power, 0}));
        EXPECT_EQ(light.direction, app::LightDirection(state.Light));
    }
}

TEST(PoseOverlayLines, ThreeDecimalsOfPositionAndOrientation) {
    scene::TransformNode node;
    node.SetPosition({1.5f, -2.0f, 0.25f});
    node.TurnLocalY(std::numbers::pi_v<float> / 2);  // half-angle 45 degrees: sin = cos = 0.707
    // Under a locale with a decimal comma too (scripts/install-deps.sh generates it).
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 is not installed";
    const auto lines = app::PoseOverlayLines(node);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(lines[0], "POS(1.500 -2.000 0.250)");
    EXPECT_EQ(lines[1], "QUAT(0.000 0.707 0.000, 0.707)");
}

TEST(ManipulatorFrame, RadiusScalesWithTheRootExceptForTheRoot) {
    auto session = std::make_unique<app::Session>();
    model::PartTable& parts = session->model.parts;
    editing::PartScene& partScene = session->model.scene;
    ASSERT_TRUE(partScene.mesh[0].CreateBox(2.0f, 2.0f, 2.0f, {1, 1, 1, 1}));
    ASSERT_TRUE(partScene.mesh[1].CreateBox(2.0f, 2.0f, 2.0f, {1, 1, 1, 1}));
    partScene.node[0].Bind(partScene.mesh[0], {0, 0, 0}, 3.0f);
    partScene.node[1].Bind(partScene.mesh[1], {1, 0, 0}, 0.5f);
    partScene.node[1].parent = &partScene.node[0];
    parts.count = 2;
    const float boxRadius = std::sqrt(3.0f);
    EXPECT_NEAR(app::PartManipulatorFrame(partScene, 0, true).radius, 3.0f * boxRadius, 1e-4f);
    EXPECT_NEAR(app::PartManipulatorFrame(partScene, 1, true).radius, 0.5f * 3.0f * boxRadius,
                1e-4f);
    // The child's local axes carry both scales; the frame's are unit length.
    const auto child = app::PartManipulatorFrame(partScene, 1, true);
    EXPECT_NEAR(gfx::Vec3Length(child.x), 1.0f, 1e-5f);
    EXPECT_NEAR(child.centre.x, 3.0f, 1e-5f);  // the child's offset in the root's scaled frame
}

}  // namespace
