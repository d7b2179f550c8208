// F and the keypad views on the sample robot, posed and scaled: framed spheres measured on the
// screen by projecting points of their surfaces, the orbit about the framed part afterwards, and
// the six sides against the first camera.

#include "app/steps/camera_views.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/core/documents.h"
#include "app/steps/frame_input.h"
#include "gfx/math/math.h"
#include "scene/mesh_object.h"
#include "tests/app/view_input_support.h"

namespace {

using namespace view_input_support;

// The half height and half width on the screen (normalised device units) that a part's world
// sphere covers, and its centre's offset, from points of the sphere's surface.
struct Extent {
    float top = -9, bottom = 9, right = -9, left = 9;
};
Extent PartsOnScreen(const app::Session& session, std::initializer_list<int> parts) {
    const framework::ViewTransforms& camera = session.editor.Camera;
    const gfx::Matrix toScreen = gfx::MatrixMultiply(camera.ViewMatrix, camera.ProjectionMatrix);
    Extent e;
    for (const int part : parts) {
        const scene::TransformNode& node = session.model.scene.node[part];
        const gfx::Vec3 centre =
            gfx::Vec3TransformCoord(node.mesh->sphereCentre, node.WorldMatrix());
        const float radius = gfx::Vec3Length(node.WorldAxisX()) * node.mesh->sphereRadius;
        for (int i = 0; i <= 90; ++i) {
            for (int j = 0; j < 180; ++j) {
                const float a = 3.14159265f * static_cast<float>(i) / 90.0f;
                const float b = 3.14159265f * static_cast<float>(j) / 90.0f;
                const gfx::Vec3 on = centre + gfx::Vec3{std::sin(a) * std::cos(b), std::cos(a),
                                                        std::sin(a) * std::sin(b)} *
                                                  radius;
                const gfx::Vec3 p = gfx::Vec3TransformCoord(on, toScreen);
                e = {std::max(e.top, p.y), std::min(e.bottom, p.y), std::max(e.right, p.x),
                     std::min(e.left, p.x)};
            }
        }
    }
    return e;
}

class CameraViews : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(app::OpenPartFile(session.model,
                                      POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp"));
        session.editor.Camera.ProjectionMatrix = app::EditorProjection(640, 480);
        app::FrameView(session.editor.Camera, nullptr);
        // Turned, moved and scaled: what the parts' own numbers do not show.
        scene::TransformNode& body = session.model.scene.node[0];
        body.SetScale(2.0f);
        body.SetOrientation({0.0f, 0.38268343f, 0.0f, 0.92387953f});
        body.SetPosition({1.5f, 0.0f, -2.0f});
    }
    app::CameraFrame Camera() const {
        return app::CameraFromView(session.editor.Camera.ViewMatrix);
    }

    QuietLog quiet;
    app::Session session;
};

TEST_F(CameraViews, FFillsTwoThirdsOfTheNarrowerSideKeepingTheDirection) {
    struct Case {
        int part, width, height;
    };
    for (const Case& c : {Case{4, 640, 480}, Case{0, 1280, 720}, Case{7, 300, 600}}) {
        session.editor.Camera.ProjectionMatrix = app::EditorProjection(c.width, c.height);
        session.editor.SelectedPart = static_cast<model::PartIndex>(c.part);
        const app::CameraFrame before = Camera();
        ASSERT_TRUE(app::FrameParts(session));
        EXPECT_TRUE(Near(Camera().forward, before.forward, 1e-5f)) << c.part;
        const Extent e = PartsOnScreen(session, {c.part});
        const float filled = c.width >= c.height ? e.top - e.bottom : e.right - e.left;
        EXPECT_NEAR(filled / 2.0f, 2.0f / 3.0f, 0.01f) << c.part;
        EXPECT_NEAR(e.top + e.bottom, 0.0f, 0.01f) << c.part;  // centred
        EXPECT_NEAR(e.left + e.right, 0.0f, 0.01f) << c.part;
    }
}

TEST_F(CameraViews, FWithoutASelectionFramesTheTickedPartsAndAnOrbitTurnsAboutTheCentre) {
    session.panels.partVisible[11] = false;
    ASSERT_TRUE(app::FrameParts(session));
    const Extent e = PartsOnScreen(session, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_LE(e.top, 0.67f);
    EXPECT_GE(e.bottom, -0.67f);
    EXPECT_GT(e.top - e.bottom, 0.8f);

    const gfx::Vec3 centre = session.editor.OrbitCentre;
    const float distance = gfx::Vec3Length(Camera().eye - centre);
    const app::ClientView view{session.editor.Camera, 640, 480};
    app::HandleCameraAndPicking(session, view, Input({.right = Button::kPressed}, kCentre), true);
    app::HandleCameraAndPicking(session, view, Input({.right = Button::kHeld}, {230, 280}), true);
    const app::CameraFrame turned = Camera();
    EXPECT_NEAR(gfx::Vec3Length(turned.eye - centre), distance, 1e-3f);
    EXPECT_TRUE(Near(turned.eye + turned.forward * distance, centre, 1e-3f));

    session.panels.partVisible.fill(false);
    EXPECT_FALSE(app::FrameParts(session));  // nothing to frame
}

TEST_F(CameraViews, KeypadSidesLookAtTheOrbitCentreFromTheFrontViewsDirections) {
    session.editor.OrbitCentre = {0.5f, 1.0f, -0.25f};
    const gfx::Vec3 centre = session.editor.OrbitCentre;
    const float distance = gfx::Vec3Length(Camera().eye - centre);
    const gfx::Vec3 firstForward = Camera().forward;
    app::LookFromSide(session.editor, app::ViewSide::kFront);
    const app::CameraFrame front = Camera();
    // Front is where the first camera stands, level.
    EXPECT_GT(gfx::Vec3Dot(front.forward, firstForward), 0.99f);
    EXPECT_NEAR(front.forward.y, 0.0f, 1e-6f);
    struct Case {
        app::ViewSide side;
        gfx::Vec3 toEye, up;
    };
    const gfx::Vec3 f = front.forward, r = front.right, u = front.up;
    for (const Case& c : {Case{app::ViewSide::kBack, f, u}, Case{app::ViewSide::kRight, r, u},
                          Case{app::ViewSide::kLeft, -r, u}, Case{app::ViewSide::kTop, u, f},
                          Case{app::ViewSide::kBottom, -u, -f}}) {
        app::LookFromSide(session.editor, c.side);
        EXPECT_TRUE(Near(Camera().eye, centre + c.toEye * distance, 1e-4f)) << int(c.side);
        EXPECT_TRUE(Near(Camera().up, c.up, 1e-5f)) << int(c.side);
    }
}

}  // namespace
