// Lines, camera-facing circles, rings, the light and the view: vertex maths directly, drawing
// through the headless device pixel by pixel.

#include "scene/draw_primitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx/math/math.h"
#include "tests/framework/headless_device.h"

namespace scene {
namespace {

using framework::testing_support::ExtentOf;
using framework::testing_support::HeadlessDevice;
using framework::testing_support::PixelAt;
using framework::testing_support::Project;

constexpr gfx::Colour kBackground = 0xFF18415A;

gfx::Vec3 RingPoint(const gfx::Matrix& world, const LineVertex& v) {
    return gfx::Vec3TransformCoord({v.x, v.y, v.z}, world);
}

void ExpectNear(gfx::Vec3 actual, gfx::Vec3 expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

TEST(DrawPrimitivesTest, RingAboutXStartsAlongMinusZ) {
    const gfx::Vec3 centre{1, 2, 3};
    const CircleVertices vertices = MakeCircleVertices(2, 0xFFFF0000);
    const gfx::Matrix world = RingWorld(centre, {1, 0, 0}, {0, 1, 0});
    ExpectNear(RingPoint(world, vertices[0]), {1, 2, 1});   // c + r (0, 0, -1)
    ExpectNear(RingPoint(world, vertices[9]), {1, 4, 3});   // a quarter turn on: c + r (0, 1, 0)
    ExpectNear(RingPoint(world, vertices[36]), {1, 2, 1});  // closed
    for (const LineVertex& v : vertices) {
        EXPECT_NEAR(gfx::Vec3Length(RingPoint(world, v) - centre), 2, 1e-5f);
        EXPECT_NEAR(RingPoint(world, v).x, 1, 1e-6f);
    }
}

TEST(DrawPrimitivesTest, RingAboutTheUpAxisWithUpAsSecondAxisStaysARing) {
    const CircleVertices vertices = MakeCircleVertices(1, 0xFF00FF00);
    for (const gfx::Vec3 normal : {gfx::Vec3{0, 1, 0}, gfx::Vec3{0, -1, 0}}) {
        const gfx::Matrix world = RingWorld({0, 5, 0}, normal, {0, 1, 0});
        for (const LineVertex& v : vertices) {
            const gfx::Vec3 p = RingPoint(world, v);
            EXPECT_NEAR(p.y, 5, 1e-5f);
            EXPECT_NEAR(std::hypot(p.x, p.z), 1, 1e-5f);
        }
    }
}

TEST(DrawPrimitivesTest, DirectionalLightIsNormalisedAndKeptAsLightZero) {
    framework::EglSurface surface;  // the light is kept without a context too
    framework::GraphicsDevice device(surface);
    EXPECT_EQ(CurrentLight(device), framework::Light{});

    SetDirectionalLight(device, {1, -1, 1}, 0.5f, 0.25f, 1, 0);
    const framework::Light& light = CurrentLight(device);
    EXPECT_EQ(light.type, framework::kLightDirectional);
    ExpectNear(light.direction, {0.57735f, -0.57735f, 0.57735f});
    EXPECT_EQ(light.diffuse, (gfx::ColourValue{0.5f, 0.25f, 1, 0}));
    EXPECT_EQ(light.range, 1.8446743e19f);
    EXPECT_EQ(light.specular, gfx::ColourValue{});
    EXPECT_EQ(light.ambient, gfx::ColourValue{});
}

class DrawingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(headless_.created);
        device().SetRenderState(framework::RenderState::kLighting, 0);
    }
    framework::GraphicsDevice& device() { return headless_.device; }
    void Begin(gfx::Vec3 eye, gfx::Vec3 target, gfx::Vec3 up = {0, 1, 0}) {
        device().SetTransform(framework::TransformState::kView,
                              gfx::MatrixLookAtLH(eye, target, up));
        device().BeginFrame(kBackground);
        device().SetTransform(framework::TransformState::kWorld, gfx::MatrixIdentity());
    }
    framework::testing_support::ScreenPoint Screen(gfx::Vec3 p) {
        return Project(p, device().GetTransform(framework::TransformState::kView),
                       device().GetTransform(framework::TransformState::kProjection));
    }

    HeadlessDevice headless_;
};

TEST_F(DrawingTest, GridLineAndAxesShowTheirColoursWhereTheyProject) {
    Begin({3, 4, -6}, {0, 0, 0});
    const gfx::Vec3 from{-4, 0, 0.4f}, to{4, 0, 0.4f};
    DrawLine(device(), from, to, 0xFF808080);
    DrawLine(device(), {0, 0, 0}, {0, 2, 0}, 0xFF00FF00);
    DrawLine(device(), {0, 0, 0}, {0, 0, 2}, 0xFF0000FF);
    const std::vector<std::uint32_t> pixels = device().ReadPixels();

    // The almost horizontal grid line: sample where its row is not a near tie.
    int checked = 0;
    for (float t = 0.1f; t < 0.45f; t += 0.01f) {
        const auto p = Screen(gfx::Vec3Lerp(from, to, t));
        if (std::fabs(p.y - std::round(p.y)) > 0.3f) continue;
        EXPECT_EQ(PixelAt(pixels, p.Column(), p.Row()), 0xFF808080u) << p.x << ", " << p.y;
        EXPECT_EQ(PixelAt(pixels, p.Column(), p.Row() - 3), kBackground);
        EXPECT_EQ(PixelAt(pixels, p.Column(), p.Row() + 3), kBackground);
        ++checked;
    }
    EXPECT_GT(checked, 0);
    // The vertical green axis, the blue one running into the screen: colour bytes kept apart.
    const auto up = Screen({0, 1.5f, 0});
    EXPECT_EQ(PixelAt(pixels, up.Column(), up.Row()), 0xFF00FF00u);
    const auto along = Screen({0, 0, 1.5f});
    EXPECT_EQ(PixelAt(pixels, along.Column(), along.Row()), 0xFF0000FFu);
}

TEST_F(DrawingTest, EndColourRunsAlongTheLine) {
    Begin({0, 0, -2}, {0, 0, 0});
    DrawLine(device(), {-1, 0.2f, 0}, {1, 0.2f, 0}, 0xFFFF0000, 0xFF0000FF);
    DrawLine(device(), {-1, -0.2f, 0}, {1, -0.2f, 0}, 0xFFFF0000);  // end colour 0: one colour
    const std::vector<std::uint32_t> pixels = device().ReadPixels();

    const auto left = Screen({-0.9f, 0.2f, 0}), middle = Screen({0, 0.2f, 0}),
               right = Screen({0.9f, 0.2f, 0});
    const std::uint32_t l = PixelAt(pixels, left.Column(), left.Row());
    const std::uint32_t m = PixelAt(pixels, middle.Column(), middle.Row());
    const std::uint32_t r = PixelAt(pixels, right.Column(), right.Row());
    EXPECT_GT((l >> 16) & 0xFF, 0xE0u);
    EXPECT_LT(l & 0xFF, 0x20u);
    EXPECT_NEAR(static_cast<int>((m >> 16) & 0xFF), 128, 4);
    EXPECT_NEAR(static_cast<int>(m & 0xFF), 128, 4);
    EXPECT_LT((r >> 16) & 0xFF, 0x20u);
    EXPECT_GT(r & 0xFF, 0xE0u);

    const auto plainRight = Screen({0.9f, -0.2f, 0});
    EXPECT_EQ(PixelAt(pixels, plainRight.Column(), plainRight.Row()), 0xFFFF0000u);
}

TEST_F(DrawingTest, FacingCircleIsRoundOnScreenFromEveryCamera) {
    struct Camera {
        gfx::Vec3 eye, target, up;
    };
    const Camera cameras[] = {
        {{0, 0, -5}, {0, 0, 0}, {0, 1, 0}},
        {{3, 4, -2}, {0.5f, 0, 0}, {0, 1, 0}},
        {{-2, 1, 3}, {0, 0, 0}, {1, 1, 0}},  // rolled
    };
    const float radius = 0.5f;
    for (const Camera& camera : cameras) {
        Begin(camera.eye, camera.target, camera.up);
        DrawFacingCircle(device(), camera.target, radius, 0xFFFFFFFF);
        const auto extent = ExtentOf(device().ReadPixels(), kBackground);
        // Screen radius: r / (distance * tan(fov / 2)) of the half height, 240 pixels.
        const float distance = gfx::Vec3Length(camera.target - camera.eye);
        const float diameter = 2 * radius / (distance * std::tan(0.7853982f / 2)) * 240;
        EXPECT_LE(std::abs(extent.Width() - extent.Height()), 1)
            << extent.Width() << " x " << extent.Height();
        EXPECT_NEAR(extent.Width(), diameter, 2.0f);
    }
}

TEST_F(DrawingTest, SetViewChangesTheCameraAloneUntilTheViewIsHandedOver) {
    framework::ViewTransforms camera;
    SetView(camera, {1, 2, -3}, {0, 0, 0}, {0, 1, 0});
    EXPECT_NE(device().GetTransform(framework::TransformState::kView), camera.ViewMatrix);
    device().SetTransform(framework::TransformState::kView, camera.ViewMatrix);
    device().BeginFrame(kBackground);
    EXPECT_EQ(device().GetTransform(framework::TransformState::kView), camera.ViewMatrix);
    ExpectNear(gfx::Vec3TransformCoord({0, 0, 0}, device().InverseView()), {1, 2, -3});
    // A singular view keeps the last good inverse.
    device().SetTransform(framework::TransformState::kView, gfx::Matrix{{}});
    ExpectNear(gfx::Vec3TransformCoord({0, 0, 0}, device().InverseView()), {1, 2, -3});
}

}  // namespace
}  // namespace scene
