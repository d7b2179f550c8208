#include "app/steps/camera_control.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/steps/frame_input.h"
#include "scene/draw_primitives.h"
#include "tests/app/view_input_support.h"

namespace {

using namespace view_input_support;

// Row-vector rotations as the left-handed maths library builds them.
gfx::Vec3 RotateY(gfx::Vec3 v, float a) {
    return {v.x * std::cos(a) + v.z * std::sin(a), v.y, -v.x * std::sin(a) + v.z * std::cos(a)};
}
gfx::Vec3 RotateX(gfx::Vec3 v, float a) {
    return {v.x, v.y * std::cos(a) - v.z * std::sin(a), v.y * std::sin(a) + v.z * std::cos(a)};
}

class CameraControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(session.panPlaneMesh.CreateBox(10000.0f, 10000.0f, 0.0001f, {1, 1, 0, 1}));
        session.panPlane.Bind(session.panPlaneMesh, {0.0f, 0.0f, 0.0f}, 1.0f);
    }

    void Frame(Buttons buttons, framework::PixelPoint cursor, int wheel = 0, bool active = true) {
        session.SetPanelObserver(&notice);
        app::HandleCameraAndPicking(session, view.client(), Input(buttons, cursor, wheel), active);
    }
    app::CameraFrame Camera() const { return app::CameraFromView(view.transforms.ViewMatrix); }

    CountingNotice notice;
    app::Session session;
    TestView view;
    const gfx::Vec3 startEye{0.0f, 2.0f, 8.0f};
    const gfx::Vec3 startForward = gfx::Vec3Normalize({0.0f, -1.0f, -8.0f});
};

TEST_F(CameraControlTest, OrbitOf120PixelsTurnsOneRadianAboutWorldY) {
    Frame({.right = Button::kPressed}, kCentre);
    Frame({.right = Button::kHeld}, {kCentre.x - 120, kCentre.y});
    EXPECT_TRUE(Near(Camera().eye, RotateY(startEye, 1.0f), 1e-4f));
    EXPECT_TRUE(Near(Camera().forward, RotateY(startForward, 1.0f), 1e-5f));
    // The drag is absolute from the press: 120 to the right of it turns the other way.
    Frame({.right = Button::kHeld}, {kCentre.x + 120, kCentre.y});
    EXPECT_TRUE(Near(Camera().eye, RotateY(startEye, -1.0f), 1e-4f));
}

TEST_F(CameraControlTest, OrbitTiltsAboutTheCapturedRightAxisBeforeTurningAboutY) {
    Frame({.right = Button::kPressed}, kCentre);
    Frame({.right = Button::kHeld}, {kCentre.x - 120, kCentre.y - 60});
    // Right is -X when looking down -Z: half a radian about it is -0.5 about X.
    EXPECT_TRUE(Near(Camera().eye, RotateY(RotateX(startEye, -0.5f), 1.0f), 1e-4f));
    EXPECT_TRUE(Near(Camera().forward, RotateY(RotateX(startForward, -0.5f), 1.0f), 1e-5f));
}

TEST_F(CameraControlTest, HoldingStillChangesNothing) {
    const gfx::Matrix start = view.transforms.ViewMatrix;
    Frame({.right = Button::kPressed}, {100, 50});
    for (int i = 0; i < 5; ++i) Frame({.right = Button::kHeld}, {100, 50});
    EXPECT_TRUE(MatricesNear(view.transforms.ViewMatrix, start, 1e-5f));
    Frame({.right = Button::kReleased}, {100, 50});
    Frame({.middle = Button::kPressed}, {400, 300});
    for (int i = 0; i < 5; ++i) Frame({.middle = Button::kHeld}, {400, 300});
    EXPECT_TRUE(MatricesNear(view.transforms.ViewMatrix, start, 1e-5f));
}

TEST_F(CameraControlTest, WheelNotchMovesThreeTenthsAlongTheView) {
    Frame({}, kCentre, 120);
    EXPECT_TRUE(Near(Camera().eye, startEye + startForward * 0.3f, 1e-5f));
    EXPECT_TRUE(Near(Camera().forward, startForward, 1e-6f));
    Frame({}, kCentre, -240);  // rolled towards the user: backwards
    EXPECT_TRUE(Near(Camera().eye, startEye - startForward * 0.3f, 1e-5f));
}

TEST_F(CameraControlTest, WheelDuringAnOrbitLastsOneFrame) {
    Frame({.right = Button::kPressed}, kCentre);
    Frame({.right = Button::kHeld}, kCentre, 120);
    EXPECT_TRUE(Near(Camera().eye, startEye + startForward * 0.3f, 1e-4f));
    Frame({.right = Button::kHeld}, kCentre);
    EXPECT_TRUE(Near(Camera().eye, startEye, 1e-4f));
}

TEST_F(CameraControlTest, PanKeepsTheGrabbedPointUnderTheCursor) {
    Frame({.middle = Button::kPressed}, {250, 200});
    EXPECT_EQ(session.editor.PanReversed, 0);
    const gfx::Vec3 grabbed = session.editor.PanAnchor;
    Frame({.middle = Button::kHeld}, {400, 330});

    EXPECT_FALSE(Near(Camera().eye, startEye, 0.1f));
    EXPECT_TRUE(Near(Camera().forward, startForward, 1e-5f));  // a pan only moves the eye
    // Where the new pointer ray meets the plane (position p, normal n), worked out directly.
    const app::Ray ray = app::PointerRay(view.client(), {400, 330});
    const gfx::Vec3 p = session.panPlane.WorldPosition();
    const gfx::Vec3 n = gfx::Vec3Normalize(session.panPlane.WorldAxisZ());
    const float t = gfx::Vec3Dot(p - ray.origin, n) / gfx::Vec3Dot(ray.direction, n);
    EXPECT_TRUE(Near(ray.origin + ray.direction * t, grabbed, 1e-3f));
}

TEST_F(CameraControlTest, PanWithTheOriginBehindUsesTheReversedRay) {
    // Looking away from the origin: the pointer line's point nearest it lies behind the camera.
    const gfx::Vec3 eye{0, 0, 5};
    scene::SetView(view.transforms, eye, {0, 0, 10}, {0, 1, 0});
    Frame({.middle = Button::kPressed}, {300, 200});
    EXPECT_EQ(session.editor.PanReversed, 1);
    const gfx::Vec3 anchor = session.editor.PanAnchor;
    EXPECT_LT(anchor.z, eye.z);

    // Where the reversed pointer ray under the press view meets the plane, worked out directly.
    const gfx::Vec3 p = session.panPlane.WorldPosition();
    const gfx::Vec3 n = gfx::Vec3Normalize(session.panPlane.WorldAxisZ());
    const app::Ray ray = app::PointerRay(view.client(), {360, 260});
    const float t = gfx::Vec3Dot(p - ray.origin, n) / gfx::Vec3Dot(-ray.direction, n);
    const gfx::Vec3 moved = ray.origin - ray.direction * t;

    // Reversed, the camera follows the hit instead of keeping it still.
    Frame({.middle = Button::kHeld}, {360, 260});
    EXPECT_TRUE(Near(Camera().eye, eye + moved - anchor, 1e-3f));
}

TEST_F(CameraControlTest, PanWithoutAPlaneMeshLeavesTheCameraAtThePress) {
    session.panPlane.mesh = nullptr;
    const gfx::Matrix start = view.transforms.ViewMatrix;
    Frame({.middle = Button::kPressed}, {250, 200});
    Frame({.middle = Button::kHeld}, {400, 330});
    EXPECT_TRUE(MatricesNear(view.transforms.ViewMatrix, start, 1e-5f));
}

TEST_F(CameraControlTest, InactiveWindowIgnoresEveryInput) {
    session.editor.SelectedPart = 4;
    const gfx::Matrix start = view.transforms.ViewMatrix;
    Frame({.right = Button::kPressed}, kCentre, 0, false);
    Frame({.right = Button::kHeld}, {10, 10}, 120, false);
    Frame({.middle = Button::kPressed}, {10, 10}, 0, false);
    Frame({.left = Button::kPressed}, {10, 10}, 0, false);
    EXPECT_TRUE(MatricesNear(view.transforms.ViewMatrix, start, 0.0f));
    EXPECT_EQ(session.editor.DragAnchor, (framework::PixelPoint{0, 0}));
    EXPECT_EQ(session.editor.SelectedPart, 4);
    EXPECT_EQ(notice.count, 0);
}

TEST_F(CameraControlTest, AHeldDragBlocksTheOtherButtons) {
    session.editor.SelectedPart = 4;
    Frame({.right = Button::kPressed}, {300, 200});
    Frame({.left = Button::kPressed, .right = Button::kHeld, .middle = Button::kPressed},
          {300, 200});
    EXPECT_EQ(session.editor.PanAnchor, (gfx::Vec3{0, 0, 0}));  // no pan started
    EXPECT_EQ(session.editor.SelectedPart, 4);                  // no pick
    Frame({.left = Button::kPressed, .middle = Button::kHeld}, {300, 200});
    EXPECT_EQ(session.editor.SelectedPart, 4);
    EXPECT_EQ(notice.count, 0);
}

}  // namespace
