#include "app/steps/view_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "scene/draw_primitives.h"
#include "tests/app/view_input_support.h"

namespace {

using namespace view_input_support;

TEST(ViewGeometryTest, FrameViewWithoutANodeLooksFromAboveTheFrontAtTheDefaultSphere) {
    framework::ViewTransforms transforms;
    app::FrameView(transforms, nullptr);
    const app::CameraFrame camera = app::CameraFromView(transforms.ViewMatrix);
    EXPECT_TRUE(Near(camera.eye, {0.0f, 2.0f, 8.0f}, 1e-5f));
    const float length = std::sqrt(65.0f);  // from (0, 2, 8) to (0, 1, 0)
    EXPECT_TRUE(Near(camera.forward, {0.0f, -1.0f / length, -8.0f / length}, 1e-6f));
    EXPECT_TRUE(Near(camera.right, {-1.0f, 0.0f, 0.0f}, 1e-6f));  // looking down -z
    EXPECT_GT(camera.up.y, 0.99f);
}

TEST(ViewGeometryTest, PointerRayThroughTheCentreIsTheViewingDirection) {
    TestView view;
    const app::Ray ray = app::PointerRay(view.client(), kCentre);
    const app::CameraFrame camera = app::CameraFromView(view.transforms.ViewMatrix);
    EXPECT_TRUE(Near(ray.origin, {0.0f, 2.0f, 8.0f}, 1e-5f));
    EXPECT_TRUE(Near(ray.direction, camera.forward, 1e-6f));
}

TEST(ViewGeometryTest, PointerRayAtTheEdgesFollowsTheFieldOfView) {
    TestView view;
    scene::SetView(view.transforms, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f});
    // The top edge's middle lies half the 45-degree vertical field above the axis.
    const app::Ray top = app::PointerRay(view.client(), {320, 0});
    EXPECT_NEAR(std::atan2(top.direction.y, top.direction.z), std::numbers::pi_v<float> / 8.0f,
                1e-5f);
    EXPECT_NEAR(top.direction.x, 0.0f, 1e-6f);
    // The top-left corner: up and to the left, the sideways slope the aspect times the upward.
    const app::Ray corner = app::PointerRay(view.client(), {0, 0});
    EXPECT_LT(corner.direction.x, 0.0f);
    EXPECT_GT(corner.direction.y, 0.0f);
    EXPECT_NEAR(-corner.direction.x / corner.direction.y, 640.0f / 480.0f, 1e-5f);
    EXPECT_NEAR(gfx::Vec3Length(corner.direction), 1.0f, 1e-6f);
}

// The view follows its window: at any size the projection has the view's aspect, the centre's
// ray is the viewing direction and a corner's ray slopes sideways by the aspect times upward.
TEST(ViewGeometryTest, ProjectionAndPointerRayFollowTheViewsSize) {
    struct Case {
        int width, height;
        float aspect;
    };
    for (const Case& c :
         {Case{640, 480, 4.0f / 3.0f}, Case{1280, 960, 4.0f / 3.0f}, Case{1920, 1080, 16.0f / 9.0f},
          Case{1280, 720, 16.0f / 9.0f}, Case{500, 1000, 0.5f}}) {
        TestView view(c.width, c.height);
        const gfx::Matrix& p = view.transforms.ProjectionMatrix;
        EXPECT_NEAR(p.m[1][1] / p.m[0][0], c.aspect, 1e-5f) << c.width << "x" << c.height;
        // The vertical field stays 45 degrees whatever the width.
        EXPECT_NEAR(p.m[1][1], 1.0f / std::tan(std::numbers::pi_v<float> / 8.0f), 1e-5f);

        scene::SetView(view.transforms, {0, 0, 0}, {0, 0, 1}, {0, 1, 0});
        const app::Ray centre = app::PointerRay(view.client(), {c.width / 2, c.height / 2});
        EXPECT_TRUE(Near(centre.direction, {0, 0, 1}, 1e-5f)) << c.width << "x" << c.height;
        const app::Ray corner = app::PointerRay(view.client(), {0, 0});
        EXPECT_NEAR(-corner.direction.x / corner.direction.y, c.aspect, 1e-4f)
            << c.width << "x" << c.height;
    }
}

// The same fraction of two views of one aspect is the same ray: a cursor counted in the view's
// own pixels picks the same point at any size.
TEST(ViewGeometryTest, TheSameFractionOfALargerViewGivesTheSameRay) {
    TestView small(640, 480);
    TestView large(1280, 960);
    for (const framework::PixelPoint at :
         {framework::PixelPoint{320, 240}, {0, 0}, {100, 400}, {639, 1}, {480, 120}}) {
        const app::Ray a = app::PointerRay(small.client(), at);
        const app::Ray b = app::PointerRay(large.client(), {at.x * 2, at.y * 2});
        EXPECT_TRUE(Near(a.origin, b.origin, 1e-5f));
        EXPECT_TRUE(Near(a.direction, b.direction, 1e-6f)) << at.x << "," << at.y;
    }
}

TEST(ViewGeometryTest, PointerRayOnAZeroSizedClientStaysFinite) {
    framework::ViewTransforms transforms;
    transforms.ProjectionMatrix = app::EditorProjection(640, 480);
    app::FrameView(transforms, nullptr);
    const app::Ray ray = app::PointerRay({transforms, 0, 0}, {0, 0});
    EXPECT_TRUE(std::isfinite(ray.direction.x) && std::isfinite(ray.direction.y) &&
                std::isfinite(ray.direction.z));
}

TEST(ViewGeometryTest, ClosestPointOnLineIsTheUnclampedFoot) {
    const gfx::Vec3 a{1.0f, 1.0f, 1.0f};
    EXPECT_EQ(app::ClosestPointOnLine(a, a, {5.0f, -2.0f, 7.0f}), a);
    // Beyond b and before a: the line runs on.
    EXPECT_TRUE(Near(app::ClosestPointOnLine({0, 0, 0}, {1, 0, 0}, {5, 3, 0}), {5, 0, 0}, 1e-6f));
    EXPECT_TRUE(Near(app::ClosestPointOnLine({0, 0, 0}, {1, 0, 0}, {-4, 0, 2}), {-4, 0, 0}, 1e-6f));
    // A slanted line: the foot of (0, 2, 0) on y = x is (1, 1, 0).
    EXPECT_TRUE(Near(app::ClosestPointOnLine({-3, -3, 0}, {2, 2, 0}, {0, 2, 0}), {1, 1, 0}, 1e-5f));
}

}  // namespace
