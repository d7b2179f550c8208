// F and the keypad views on the sample robot: the framed spheres measured on the screen by
// projecting points of their surfaces, the camera's direction kept, the orbit turning about the
// framed centre afterwards, and the six sides against the first camera.

#include "app/steps/camera_views.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "app/core/documents.h"
#include "app/steps/frame_input.h"
#include "gfx/math/math.h"
#include "scene/mesh_object.h"
#include "tests/app/view_input_support.h"

namespace {

using namespace view_input_support;

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp";

// The extent on the screen of points on a sphere's surface, in normalised device coordinates.
struct ScreenExtent {
    float left = 1e9f, right = -1e9f, bottom = 1e9f, top = -1e9f;
};

void AddSphere(ScreenExtent& extent, const framework::ViewTransforms& camera, gfx::Vec3 centre,
               float radius) {
    const gfx::Matrix viewProjection =
        gfx::MatrixMultiply(camera.ViewMatrix, camera.ProjectionMatrix);
    constexpr int kSteps = 180;
    const float pi = std::numbers::pi_v<float>;
    for (int i = 0; i <= kSteps; ++i) {
        const float polar = pi * static_cast<float>(i) / kSteps;
        for (int j = 0; j < 2 * kSteps; ++j) {
            const float around = pi * static_cast<float>(j) / kSteps;
            const gfx::Vec3 point =
                centre + gfx::Vec3{std::sin(polar) * std::cos(around), std::cos(polar),
                                   std::sin(polar) * std::sin(around)} *
                             radius;
            const gfx::Vec3 screen = gfx::Vec3TransformCoord(point, viewProjection);
            extent.left = std::min(extent.left, screen.x);
            extent.right = std::max(extent.right, screen.x);
            extent.bottom = std::min(extent.bottom, screen.y);
            extent.top = std::max(extent.top, screen.y);
        }
    }
}

// A part's mesh sphere in world space, as the part's world matrix carries it.
scene::Sphere WorldSphere(const app::Session& session, int part) {
    const scene::TransformNode& node = session.model.scene.node[static_cast<std::size_t>(part)];
    const gfx::Vec3 axisX = node.WorldAxisX();
    return {gfx::Vec3TransformCoord(node.mesh->sphereCentre, node.WorldMatrix()),
            gfx::Vec3Length(axisX) * node.mesh->sphereRadius};
}

class CameraViews : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(app::OpenPartFile(session.model, kRobot));
        SetViewSize(640, 480);
        app::FrameView(session.editor.Camera, nullptr);
        // A pose and a scale that the part's own numbers do not show: the body turned and
        // moved, the model at twice its size.
        session.model.parts.scale = 2.0f;
        session.model.scene.node[0].SetScale(2.0f);
        session.model.scene.node[0].SetOrientation({0.0f, 0.38268343f, 0.0f, 0.92387953f});
        session.model.scene.node[0].SetPosition({1.5f, 0.0f, -2.0f});
    }
    void SetViewSize(int width, int height) {
        session.editor.Camera.ProjectionMatrix = app::EditorProjection(width, height);
    }
    app::CameraFrame Camera() const {
        return app::CameraFromView(session.editor.Camera.ViewMatrix);
    }

    QuietLog quiet;
    app::Session session;
};

TEST_F(CameraViews, FFramesTheSelectedPartAtTwoThirdsOfTheViewKeepingTheDirection) {
    struct Case {
        int part, width, height;
        bool byHeight;  // the sphere fills 2/3 of the height, else of the width
    };
    for (const Case& c :
         {Case{4, 640, 480, true}, Case{0, 1280, 720, true}, Case{7, 300, 600, false}}) {
        SCOPED_TRACE(c.part);
        SetViewSize(c.width, c.height);
        session.editor.SelectedPart = static_cast<model::PartIndex>(c.part);
        const app::CameraFrame before = Camera();
        ASSERT_TRUE(app::FrameParts(session));

        const app::CameraFrame after = Camera();
        EXPECT_TRUE(Near(after.forward, before.forward, 1e-5f));
        EXPECT_TRUE(Near(after.up, before.up, 1e-5f));
        const scene::Sphere sphere = WorldSphere(session, c.part);
        EXPECT_TRUE(Near(session.editor.OrbitCentre, sphere.centre, 1e-4f));
        ScreenExtent extent;
        AddSphere(extent, session.editor.Camera, sphere.centre, sphere.radius);
        const float filled =
            c.byHeight ? (extent.top - extent.bottom) / 2.0f : (extent.right - extent.left) / 2.0f;
        EXPECT_NEAR(filled, 2.0f / 3.0f, 0.01f);
        EXPECT_NEAR(extent.top + extent.bottom, 0.0f, 0.01f);  // centred
        EXPECT_NEAR(extent.left + extent.right, 0.0f, 0.01f);
    }
}

TEST_F(CameraViews, FWithNothingSelectedFramesEveryTickedPart) {
    session.panels.partVisible[11] = false;  // an unticked part is left out
    ASSERT_TRUE(app::FrameParts(session));
    ScreenExtent ticked;
    for (int part = 0; part < 11; ++part) {
        const scene::Sphere sphere = WorldSphere(session, part);
        AddSphere(ticked, session.editor.Camera, sphere.centre, sphere.radius);
    }
    // Every part inside the framed sphere's two thirds, and the model filling most of them.
    EXPECT_LE(ticked.top, 0.67f);
    EXPECT_GE(ticked.bottom, -0.67f);
    EXPECT_GT(ticked.top - ticked.bottom, 0.8f);

    // Nothing to frame: no parts at all, or none ticked. The camera stays.
    session.panels.partVisible.fill(false);
    const gfx::Matrix framed = session.editor.Camera.ViewMatrix;
    EXPECT_FALSE(app::FrameParts(session));
    EXPECT_TRUE(MatricesNear(session.editor.Camera.ViewMatrix, framed, 0.0f));
}

TEST_F(CameraViews, AnOrbitAfterFTurnsAboutTheFramedPart) {
    session.editor.SelectedPart = 4;
    ASSERT_TRUE(app::FrameParts(session));
    const gfx::Vec3 centre = session.editor.OrbitCentre;
    const gfx::Vec3 framedEye = Camera().eye;
    const float distance = gfx::Vec3Length(framedEye - centre);
    const app::ClientView view{session.editor.Camera, 640, 480};
    app::HandleCameraAndPicking(session, view, Input({.right = Button::kPressed}, kCentre), true);
    app::HandleCameraAndPicking(
        session, view, Input({.right = Button::kHeld}, {kCentre.x - 90, kCentre.y + 40}), true);
    const app::CameraFrame turned = Camera();
    EXPECT_GT(gfx::Vec3Length(turned.eye - framedEye), 0.5f * distance);
    EXPECT_NEAR(gfx::Vec3Length(turned.eye - centre), distance, 1e-3f);
    // Still looking straight at the part's centre.
    EXPECT_TRUE(Near(turned.eye + gfx::Vec3Normalize(turned.forward) * distance, centre, 1e-3f));
}

TEST_F(CameraViews, KeypadSidesLookAtTheOrbitCentreFromTheFirstCamerasSides) {
    session.editor.OrbitCentre = {0.5f, 1.0f, -0.25f};
    const gfx::Vec3 centre = session.editor.OrbitCentre;
    const float distance = gfx::Vec3Length(Camera().eye - centre);
    const gfx::Vec3 firstForward = gfx::Vec3Normalize(Camera().forward);

    using app::ViewSide;
    app::LookFromSide(session.editor, ViewSide::kFront);
    const app::CameraFrame front = Camera();
    // Front is where the first camera stands: both look the same way, but level.
    EXPECT_GT(gfx::Vec3Dot(front.forward, firstForward), 0.99f);
    EXPECT_NEAR(front.forward.y, 0.0f, 1e-6f);

    // Each side's eye direction is a direction of the front view's screen.
    struct Case {
        ViewSide side;
        gfx::Vec3 toEye;  // from the centre to the eye
        gfx::Vec3 up;     // the view's up
    };
    const gfx::Vec3 towardsViewer = -front.forward;
    const Case cases[] = {
        {ViewSide::kFront, towardsViewer, front.up},   {ViewSide::kBack, front.forward, front.up},
        {ViewSide::kRight, front.right, front.up},     {ViewSide::kLeft, -front.right, front.up},
        {ViewSide::kTop, front.up, front.forward},      // the front at the bottom of the view
        {ViewSide::kBottom, -front.up, towardsViewer},  // the front at its top
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.side));
        app::LookFromSide(session.editor, c.side);
        const app::CameraFrame camera = Camera();
        EXPECT_TRUE(Near(camera.eye, centre + c.toEye * distance, 1e-4f));
        EXPECT_TRUE(Near(camera.forward, -c.toEye, 1e-5f));
        EXPECT_TRUE(Near(camera.up, c.up, 1e-5f));
    }
}

}  // namespace
