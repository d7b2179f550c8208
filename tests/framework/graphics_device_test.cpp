// The graphics device on the headless EGL surface, checked pixel by pixel.

#include "framework/device/graphics_device.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "framework/command_line.h"
#include "framework/debug_log.h"
#include "framework/device/gl_api.h"
#include "framework/notice.h"
#include "gfx/math/math.h"
#include "gfx/mesh/mesh.h"
#include "tests/framework/headless_device.h"
#include "tests/framework/log_capture.h"

namespace framework {
namespace {

using testing_support::ExtentOf;
using testing_support::HeadlessDevice;
using testing_support::LogCapture;
using testing_support::PixelAt;
using testing_support::Project;

constexpr gfx::Colour kBackground = 0xFF18415A;

struct ColourVertex {
    float x, y, z;
    gfx::Colour colour;
};
struct NormalVertex {
    gfx::Vec3 position, normal;
};
struct TexturedVertex {
    gfx::Vec3 position;
    gfx::Vec2 uv;
};

// Corners of a quad around c with half extents along `right` and `up` as seen on screen, in the
// order top-left, top-right, bottom-right, bottom-left: the two triangles run clockwise.
std::array<gfx::Vec3, 6> QuadTriangles(gfx::Vec3 c, gfx::Vec3 right, gfx::Vec3 up) {
    const gfx::Vec3 tl = c - right + up, tr = c + right + up, br = c + right - up,
                    bl = c - right - up;
    return {tl, tr, br, tl, br, bl};
}

void DrawColourQuad(GraphicsDevice& device, gfx::Vec3 c, float half, gfx::Colour colour) {
    std::array<ColourVertex, 6> vertices{};
    const auto corners = QuadTriangles(c, {half, 0, 0}, {0, half, 0});
    for (std::size_t i = 0; i < 6; ++i)
        vertices[i] = {corners[i].x, corners[i].y, corners[i].z, colour};
    device.SetVertexFormat(gfx::kFvfXyz | gfx::kFvfDiffuse);
    device.DrawPrimitiveUP(PrimitiveType::kTriangleList, 2, vertices.data(), sizeof(ColourVertex));
}

void DrawLitQuad(GraphicsDevice& device, gfx::Vec3 c, gfx::Vec3 right, gfx::Vec3 up) {
    const gfx::Vec3 normal = gfx::Vec3Normalize(gfx::Vec3Cross(up, right));  // towards the viewer
    std::array<NormalVertex, 6> vertices{};
    const auto corners = QuadTriangles(c, right, up);
    for (std::size_t i = 0; i < 6; ++i) vertices[i] = {corners[i], normal};
    device.SetVertexFormat(gfx::kFvfXyz | gfx::kFvfNormal);
    device.DrawPrimitiveUP(PrimitiveType::kTriangleList, 2, vertices.data(), sizeof(NormalVertex));
}

// Everything drawn in clip coordinates: x, y in -1..1, depth z in 0..1.
void UseClipSpace(GraphicsDevice& device) {
    device.SetTransform(TransformState::kView, gfx::MatrixIdentity());
    device.SetTransform(TransformState::kProjection, gfx::MatrixIdentity());
    device.SetTransform(TransformState::kWorld, gfx::MatrixIdentity());
}

TEST(GraphicsDeviceTest, BeginFrameClearsToTheBackgroundAndZeroClearsDepthOnly) {
    HeadlessDevice headless;
    ASSERT_TRUE(headless.created);
    GraphicsDevice& device = headless.device;
    device.SetRenderState(RenderState::kLighting, 0);

    ASSERT_EQ(device.BeginFrame(kBackground), 1);
    device.EndFrame();
    const std::vector<std::uint32_t> cleared = device.ReadPixels();
    ASSERT_EQ(cleared.size(), 640u * 480u);
    EXPECT_EQ(std::count(cleared.begin(), cleared.end(), kBackground), 640 * 480);

    UseClipSpace(device);
    device.BeginFrame(0xFF0000FF);
    DrawColourQuad(device, {0, 0, 0.2f}, 0.5f, 0xFF00FF00);  // near: its depth stays behind
    device.EndFrame();
    device.BeginFrame(0);
    DrawColourQuad(device, {0, 0, 0.8f}, 0.5f, 0xFFFF0000);  // far, passes only on fresh depth
    device.EndFrame();
    const std::vector<std::uint32_t> second = device.ReadPixels();
    EXPECT_EQ(PixelAt(second, 320, 240), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(second, 5, 5), 0xFF0000FFu);  // colour from the frame before
}

TEST(GraphicsDeviceTest, InitAndFreeWriteTheConfigurationLog) {
    LogCapture log;
    {
        HeadlessDevice headless;
        ASSERT_TRUE(headless.created);
        GLint lights = 0, textureSize = 0, units = 0;
        glGetIntegerv(GL_MAX_LIGHTS, &lights);
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &textureSize);
        glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
        const bool software =
            std::strstr(reinterpret_cast<const char*>(glGetString(GL_RENDERER)), "llvmpipe");

        const std::string configuration =
            std::string(kLogSeparator) +
            "InitDirect3D\n"
            "アダプタ数 = 1\n"
            "アダプタID = D3DADAPTER_DEFAULT\n"
            "アダプタ名 = Mesa surfaceless\n"
            "アダプタのモード数 = 1\n"
            "現在のモード = 640 x 480 D3DFMT_X8R8G8B8\n"
            "ウインドウ化 = ON\n"
            "選択されたモード = 640 x 480 D3DFMT_X8R8G8B8 (D3DFMT_D24X8)\n"
            "デバイスタイプ = " +
            (software ? "REF" : "TnLHAL") + "\n";
        const std::string text = log.Text();
        ASSERT_EQ(text.substr(0, configuration.size()), configuration);
        const std::string size = std::to_string(textureSize);
        const std::regex caps("最大プリミティブ = \\d+\n最大ライト = " + std::to_string(lights) +
                              "\nフォグ\\{\n\t頂点 = 1\n\tピクセル = 1\n\t範囲 = [01]\n\\}\n"
                              "テクスチャー\\{\n\t利用可能メモリ = \\d+ KB\n\t最大サイズ = " +
                              size + " x " + size + "\n\t最大ステージ = " + std::to_string(units) +
                              "\n\t非正方形テクスチャ = 1\n\tアルファブレンド = 1\n\t"
                              "ミップマップ = 1\n\tバンプマップ = [01]\n\\}\n");
        EXPECT_TRUE(std::regex_match(text.substr(configuration.size()), caps))
            << text.substr(configuration.size());
        log.Clear();
        headless.device.FreeGraphics();
        EXPECT_EQ(log.Text(), std::string(kLogSeparator) + "FreeDirect3D\n");
        EXPECT_FALSE(headless.device.IsCreated());
    }
}

class TwoScreenSurface : public EglSurface {
  public:
    int AdapterCount() override { return 2; }
    std::string AdapterName(int adapter) override { return adapter == 0 ? "left" : "right"; }
};

TEST(GraphicsDeviceTest, SecondAdapterNeedsTwoScreensAndTheExactSwitch) {
    struct Case {
        bool twoScreens;
        const char* argument;
        std::uint32_t adapter;
        const char* expectedLines;
    };
    const Case cases[] = {
        {true, "-2nd", 1, "アダプタ数 = 2\nアダプタID = 1\nアダプタ名 = right\n"},
        {true, "-2ND", 0, "アダプタ数 = 2\nアダプタID = D3DADAPTER_DEFAULT\nアダプタ名 = left\n"},
        {true, "/-2nd", 0, "アダプタ数 = 2\nアダプタID = D3DADAPTER_DEFAULT\nアダプタ名 = left\n"},
        {false, "-2nd", 0,
         "アダプタ数 = 1\nアダプタID = D3DADAPTER_DEFAULT\nアダプタ名 = Mesa surfaceless\n"},
    };
    for (const Case& c : cases) {
        const char* argv[] = {"posewrighter", c.argument};
        SetCommandLine(2, argv);
        LogCapture log;
        TwoScreenSurface twoScreens;
        EglSurface oneScreen;
        GraphicsDevice device(c.twoScreens ? static_cast<GlSurface&>(twoScreens) : oneScreen);
        EXPECT_TRUE(device.InitGraphics());
        EXPECT_NE(log.Text().find(c.expectedLines), std::string::npos) << c.argument;
        EXPECT_EQ(device.Adapter(), c.adapter) << c.argument;
    }
    const char* plain[] = {"posewrighter"};
    SetCommandLine(1, plain);
}

class NoGlSurface : public EglSurface {
  public:
    bool Open() override { return false; }
};
class NoContextSurface : public EglSurface {
  public:
    bool CreateContext(int, int, int, bool) override { return false; }
};

TEST(GraphicsDeviceTest, FailuresTellTheUserAndLeaveNothingToDrawOn) {
    std::vector<std::string> notices;
    SetNoticeHandler([&](std::string_view text) { notices.emplace_back(text); });
    LogCapture log;

    NoGlSurface noGl;
    GraphicsDevice withoutGl(noGl);
    EXPECT_FALSE(withoutGl.InitGraphics());
    EXPECT_EQ(log.Text(), std::string(kLogSeparator) + "InitDirect3D\n");

    NoContextSurface noContext;
    GraphicsDevice withoutContext(noContext);
    EXPECT_FALSE(withoutContext.InitGraphics());
    EXPECT_EQ(log.Text().find("デバイスタイプ"), std::string::npos);
    EXPECT_EQ(withoutContext.BeginFrame(kBackground), 0);
    EXPECT_TRUE(withoutContext.ReadPixels().empty());
    withoutContext.FreeGraphics();
    SetNoticeHandler(nullptr);

    EXPECT_EQ(notices, (std::vector<std::string>{"Direct3Dの初期化に失敗しました.",
                                                 "3Dデバイスが作成できません."}));
    EXPECT_NE(log.Text().find("FreeDirect3D\n"), std::string::npos);
}

TEST(GraphicsDeviceTest, DisplayModeChoiceFollowsTheModeWalk) {
    const std::uint32_t x8 = kFormatX8R8G8B8, r5 = kFormatR5G6B5, x1 = kFormatX1R5G5B5;
    const DisplayMode desktop{1280, 1024, x8};
    // A 640 x 480 mode in the desktop format: windowed, whatever comes after it.
    ModeChoice choice =
        ChooseDisplayMode({{640, 480, r5}, {640, 480, x8}, {800, 600, r5}}, desktop, 640, 480);
    EXPECT_TRUE(choice.windowed);
    EXPECT_EQ(choice.backBufferFormat, x8);
    // None: full-screen in the format of the last 640 x 480 mode listed.
    choice =
        ChooseDisplayMode({{640, 480, r5}, {640, 480, x1}, {1024, 768, r5}}, desktop, 640, 480);
    EXPECT_FALSE(choice.windowed);
    EXPECT_EQ(choice.backBufferFormat, x1);
    // The walk's record ends on the last mode: one in the desktop format keeps it windowed.
    choice = ChooseDisplayMode({{640, 480, r5}, {800, 600, x8}}, desktop, 640, 480);
    EXPECT_TRUE(choice.windowed);
    // No modes at all compare the desktop with itself.
    EXPECT_TRUE(ChooseDisplayMode({}, desktop, 640, 480).windowed);
}

TEST(GraphicsDeviceTest, DepthRunsFromTheNearPlaneToTheFarPlane) {
    HeadlessDevice headless;
    ASSERT_TRUE(headless.created);
    GraphicsDevice& device = headless.device;
    device.SetRenderState(RenderState::kLighting, 0);
    device.SetTransform(TransformState::kView, gfx::MatrixIdentity());  // view depth = world z

    // Near 0.1, far 10000 (the default projection). A quad at depth d spans +-d: the middle.
    auto centreAfterQuadAt = [&](float depth) {
        device.BeginFrame(kBackground);
        DrawColourQuad(device, {0, 0, depth}, depth, 0xFFFFFFFF);
        return PixelAt(device.ReadPixels(), 320, 240);
    };
    EXPECT_EQ(centreAfterQuadAt(0.07f), kBackground);  // in front of the near plane
    EXPECT_EQ(centreAfterQuadAt(0.11f), 0xFFFFFFFFu);
    EXPECT_EQ(centreAfterQuadAt(9990.0f), 0xFFFFFFFFu);
    EXPECT_EQ(centreAfterQuadAt(20000.0f), kBackground);  // beyond the far plane

    // Stored depth is z / w of the projection: zf / (zf - zn) * (d - zn) / d.
    centreAfterQuadAt(1.0f);
    float stored = 0;
    glReadPixels(320, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &stored);
    const double expected = 10000.0 / (10000.0 - 0.1) * (1.0 - 0.1) / 1.0;
    EXPECT_NEAR(stored, expected, 1e-6);
}

// A box seen from (0, 0, -3), or from its centre, lit along +z: the face towards the viewer is
// lit half grey, the far face dark.
class BoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(headless_.created);
        gfx::Result<gfx::Mesh> box = gfx::CreateBox(1, 1, 1);
        ASSERT_TRUE(box);
        mesh_ = std::move(box).value();
        device().SetMaterial({{1, 1, 1, 1}, {0, 0, 0, 1}, {}, {}, 0});
        device().SetLight(0, MakeDirectionalLight({0, 0, 1}, {0.5f, 0.5f, 0.5f, 1}));
    }
    GraphicsDevice& device() { return headless_.device; }
    std::vector<std::uint32_t> Draw(const MeshBuffers& buffers, std::uint32_t attribId,
                                    gfx::Vec3 eye) {
        device().SetTransform(TransformState::kView,
                              gfx::MatrixLookAtLH(eye, eye + gfx::Vec3{0, 0, 1}, {0, 1, 0}));
        device().BeginFrame(kBackground);
        device().SetTransform(TransformState::kWorld, gfx::MatrixIdentity());
        device().DrawSubset(buffers, attribId);
        return device().ReadPixels();
    }

    HeadlessDevice headless_;
    gfx::Mesh mesh_;
};

bool HalfGrey(std::uint32_t pixel) {
    const std::uint32_t red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF,
                        blue = pixel & 0xFF;
    return red == green && green == blue && (red == 127 || red == 128);
}

TEST_F(BoxTest, OutsideFacesAreSeenAndInsideFacesCulled) {
    const auto buffers = device().CreateMeshBuffers(mesh_);
    ASSERT_NE(buffers, nullptr);
    std::vector<std::uint32_t> pixels = Draw(*buffers, 0, {0, 0, -3});
    EXPECT_TRUE(HalfGrey(PixelAt(pixels, 320, 240))) << std::hex << PixelAt(pixels, 320, 240);

    pixels = Draw(*buffers, 0, {0, 0, 0});
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kBackground), 640 * 480);

    device().SetRenderState(RenderState::kCullMode, kCullNone);
    pixels = Draw(*buffers, 0, {0, 0, 0});
    EXPECT_EQ(PixelAt(pixels, 320, 240), 0xFF000000u);  // the far face, lit from behind
}

TEST_F(BoxTest, DrawSubsetDrawsTheFacesOfOneAttribute) {
    // Alternate ids: on the side facing the viewer, triangle (0, 1, 2) covers the half above
    // the diagonal x = y and has id 0, the other half id 1.
    for (std::uint32_t face = 0; face < mesh_.NumFaces(); ++face)
        mesh_.Attributes()[face] = face % 2;
    mesh_.SetAttributeTable({});
    gfx::Result<gfx::Mesh> sorted = mesh_.Optimize(gfx::kMeshOptAttrSort, {});
    ASSERT_TRUE(sorted);
    ASSERT_FALSE(sorted.value().AttributeTable().empty());

    const gfx::Matrix view = gfx::MatrixLookAtLH({0, 0, -3}, {0, 0, 0}, {0, 1, 0});
    const auto upperLeft =
        Project({-0.25f, 0.25f, -0.5f}, view, device().GetTransform(TransformState::kProjection));
    const auto lowerRight =
        Project({0.25f, -0.25f, -0.5f}, view, device().GetTransform(TransformState::kProjection));
    for (const gfx::Mesh* mesh : {&mesh_, &sorted.value()}) {
        const auto buffers = device().CreateMeshBuffers(*mesh);
        ASSERT_NE(buffers, nullptr);
        std::vector<std::uint32_t> pixels = Draw(*buffers, 1, {0, 0, -3});
        EXPECT_EQ(PixelAt(pixels, upperLeft.Column(), upperLeft.Row()), kBackground);
        EXPECT_TRUE(HalfGrey(PixelAt(pixels, lowerRight.Column(), lowerRight.Row())));
        pixels = Draw(*buffers, 0, {0, 0, -3});
        EXPECT_TRUE(HalfGrey(PixelAt(pixels, upperLeft.Column(), upperLeft.Row())));
        EXPECT_EQ(PixelAt(pixels, lowerRight.Column(), lowerRight.Row()), kBackground);
    }
}

TEST_F(BoxTest, IndexPastTheVerticesIsRefused) {
    mesh_.Indices()[5] = static_cast<std::uint16_t>(mesh_.NumVertices());
    EXPECT_EQ(device().CreateMeshBuffers(mesh_), nullptr);
}

TEST(GraphicsDeviceTest, DirectionalLightShinesAlongItsDirectionInWorldSpace) {
    HeadlessDevice headless;
    ASSERT_TRUE(headless.created);
    GraphicsDevice& device = headless.device;
    device.SetMaterial({{1, 1, 1, 1}, {0, 0, 0, 1}, {}, {}, 0});

    // Seen from the side: the view turns the scene, the light must stay in world space.
    device.SetTransform(TransformState::kView,
                        gfx::MatrixLookAtLH({3, 0, 0}, {0, 0, 0}, {0, 1, 0}));
    auto centreWithLight = [&](gfx::Vec3 direction) {
        device.SetLight(0, MakeDirectionalLight(direction, {0.5f, 0.5f, 0.5f, 1}));
        device.BeginFrame(kBackground);
        // The quad's face looks along +x, at the viewer; screen right is world +z.
        DrawLitQuad(device, {0, 0, 0}, {0, 0, 0.5f}, {0, 0.5f, 0});
        return PixelAt(device.ReadPixels(), 320, 240);
    };
    EXPECT_TRUE(HalfGrey(centreWithLight({-1, 0, 0}))) << std::hex << centreWithLight({-1, 0, 0});
    EXPECT_EQ(centreWithLight({1, 0, 0}), 0xFF000000u);

    // The ambient state (0x80 grey) scales the material's ambient colour.
    device.SetMaterial({{1, 1, 1, 1}, {1, 1, 1, 1}, {}, {}, 0});
    EXPECT_EQ(centreWithLight({1, 0, 0}), 0xFF808080u);
}

TEST(GraphicsDeviceTest, TexturedQuadShowsItsTexelsPointSampled) {
    HeadlessDevice headless;
    ASSERT_TRUE(headless.created);
    GraphicsDevice& device = headless.device;
    device.SetRenderState(RenderState::kLighting, 0);
    UseClipSpace(device);

    Texture texture;
    texture.image.levels.push_back({2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}});
    texture.deviceHandle = device.Upload(texture.image);
    ASSERT_NE(texture.deviceHandle, 0u);
    Texture broken;
    broken.image.levels.push_back({2, 2, {0xFFFF0000}});  // too few texels
    EXPECT_EQ(device.Upload(broken.image), 0u);

    // Screen x 160.25..480.25, y 120.25..360.25: a quarter pixel off the pixel grid, so the
    // covered pixels show where pixel centres lie (on whole coordinates).
    const gfx::Vec3 centre{0.5f / 640, -0.5f / 480, 0.5f};
    const auto corners = QuadTriangles(centre, {0.5f, 0, 0}, {0, 0.5f, 0});
    const gfx::Vec2 uv[6] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
    std::array<TexturedVertex, 6> vertices{};
    for (std::size_t i = 0; i < 6; ++i) vertices[i] = {corners[i], uv[i]};
    auto draw = [&](const Texture* bound) {
        device.BeginFrame(kBackground);
        device.SetTexture(0, bound);
        device.SetVertexFormat(gfx::kFvfXyz | gfx::kFvfTex1);
        device.DrawPrimitiveUP(PrimitiveType::kTriangleList, 2, vertices.data(),
                               sizeof(TexturedVertex));
        return device.ReadPixels();
    };

    std::vector<std::uint32_t> pixels = draw(&texture);
    const auto extent = ExtentOf(pixels, kBackground);
    EXPECT_EQ(extent.left, 161);
    EXPECT_EQ(extent.right, 480);
    EXPECT_EQ(extent.top, 121);
    EXPECT_EQ(extent.bottom, 360);
    // The texel boundary lies at 320.25 / 240.25; the pixels on either side take one texel
    // each, unfiltered.
    EXPECT_EQ(PixelAt(pixels, 320, 240), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(pixels, 321, 240), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(pixels, 320, 241), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(pixels, 321, 241), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(pixels, 161, 121), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(pixels, 480, 360), 0xFFFFFFFFu);

    device.Free(texture.deviceHandle);  // a freed texture draws as none: the white vertex colour
    pixels = draw(&texture);
    EXPECT_EQ(PixelAt(pixels, 161, 121), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace framework
