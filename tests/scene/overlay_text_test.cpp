// Overlay text through the headless device: checked pixel by pixel against the font's own
// software rendering of the same text, plus the slot rules, batching, the device hooks and the
// GL state left behind. The glyph atlas's packing is checked on its own.

#include "scene/overlay_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/device/gl_api.h"
#include "scene/overlay_text_atlas.h"
#include "tests/framework/headless_device.h"

namespace scene {
namespace {

using framework::testing_support::ExtentOf;
using framework::testing_support::HeadlessDevice;
using framework::testing_support::PixelAt;

constexpr gfx::Colour kBackground = 0xFF18415A;
constexpr gfx::Colour kWhite = 0xFFFFFFFF;
constexpr gfx::Colour kRed = 0xFFFF0000;
// ＭＳ ゴシック: U+FF2D U+FF33, an ASCII space, then the kana.
const std::string kMsGothic =
    "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";
const std::string kJapanese = "\xE8\x85\x95\xE3\x81\xAE\xE9\x83\xA8\xE5\x93\x81";  // 腕の部品

int Channel(std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

class OverlayTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(headless_.created);
        fonts_.Create(0, kMsGothic, 10, -256);  // the editor's start-up font
        ASSERT_TRUE(fonts_.HasFont(0));
        device().BeginFrame(kBackground);
    }
    framework::GraphicsDevice& device() { return headless_.device; }
    std::vector<std::uint32_t> Frame() { return device().ReadPixels(); }

    HeadlessDevice headless_;
    OverlayFonts fonts_{headless_.device};  // declared after the device: goes first
};

// Pixels that show the colour at (almost) full coverage.
int CountNear(const std::vector<std::uint32_t>& pixels, gfx::Colour colour) {
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), [&](std::uint32_t p) {
        for (int shift : {0, 8, 16}) {
            if (std::abs(Channel(p, shift) - Channel(colour, shift)) > 0x30) return false;
        }
        return true;
    }));
}

TEST_F(OverlayTextTest, TextShowsInItsColourInsideItsMeasuredBox) {
    const std::string text = "Part 3: arm.x";
    const gfx::TextSize size = fonts_.FontOf(0)->MeasureText(text);
    for (const gfx::Colour colour : {kWhite, kRed}) {
        device().BeginFrame(kBackground);
        fonts_.Draw(10, 10, text, 10, colour);
        const auto pixels = Frame();
        const auto extent = ExtentOf(pixels, kBackground);
        EXPECT_GE(extent.left, 10);
        EXPECT_GE(extent.top, 10);
        EXPECT_LT(extent.right, 10 + size.width);
        EXPECT_LT(extent.bottom, 10 + size.height);
        // Eleven visible characters at 10 pixels: a few fully covered stroke pixels each.
        EXPECT_GE(CountNear(pixels, colour), 10) << std::hex << colour;
    }
}

// The font's software renderer lays out and blends the same text independently; GL's blending
// may round one step differently.
TEST_F(OverlayTextTest, MatchesTheFontsOwnRendering) {
    struct Case {
        const char* name;
        std::string text;
        std::int32_t x, y;
        gfx::Colour colour;
    };
    std::vector<Case> cases = {
        {"lines", "Part 3: arm.x\r\nleft\rright\nA&B", 10, 10, kWhite},
        {"tabs", "a\tbb\tccc\t|", 3, 20, 0xFF20FF40},
        {"japanese", kJapanese + " 1.02", 100, 200, kRed},
        {"invalid utf-8", "x\xC3(\xFFy", 50, 60, kWhite},
        {"clipped", "clipped at every edge", -7, -4, kWhite},
        {"bottom right", "WWWWWWWWWWWWWWWWWW\nW", 560, 472, kWhite},
        {"half transparent", "alpha", 30, 30, 0x80FFFFFF},
    };
    // Enough different ideographs (U+4E00 on) to outgrow the atlas's first texture.
    std::string ideographs;
    for (char32_t c = 0x4E00; c < 0x4E00 + 240; ++c) {
        ideographs +=
            {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
             static_cast<char>(0x80 | (c & 0x3F))};
        if (c % 48 == 47) ideographs += '\n';
    }
    cases.push_back({"many glyphs", ideographs, 0, 100, kWhite});
    auto reference = gfx::Font::Create({kMsGothic, 10, -256});
    ASSERT_TRUE(reference.ok());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device().BeginFrame(kBackground);
        fonts_.Draw(c.x, c.y, c.text, 10, c.colour);
        const auto pixels = Frame();
        std::vector<std::uint32_t> expected(640 * 480, kBackground);
        ASSERT_TRUE(reference->DrawText(c.text, expected, 640, 480, c.x, c.y, c.colour).ok());

        int inked = 0, wrong = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const std::uint32_t want = PixelAt(expected, x, y), got = PixelAt(pixels, x, y);
                if (want != kBackground) ++inked;
                for (int shift : {0, 8, 16}) {
                    if (std::abs(Channel(want, shift) - Channel(got, shift)) > 1) {
                        if (++wrong <= 3)
                            ADD_FAILURE() << x << ", " << y << std::hex << ": " << got
                                          << " instead of " << want;
                        break;
                    }
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(inked, 10);
    }
}

TEST_F(OverlayTextTest, TabMovesLaterTextToTheNextStop) {
    gfx::Font& font = *fonts_.FontOf(0);
    fonts_.Draw(0, 0, "a\tb", 10, kWhite);
    const int tabbedRight = ExtentOf(Frame(), kBackground).right;
    device().BeginFrame(kBackground);
    fonts_.Draw(0, 0, "ab", 10, kWhite);
    const int plainRight = ExtentOf(Frame(), kBackground).right;
    // The stop is eight average character widths in; "b" stood right after "a" before.
    EXPECT_EQ(tabbedRight - plainRight, 8 * font.AverageCharWidth() - font.Glyph(U'a').advance);
}

TEST_F(OverlayTextTest, TextEndsAtANulByte) {
    fonts_.Draw(10, 10, "abc", 10, kWhite);
    const auto plain = Frame();
    device().BeginFrame(kBackground);
    fonts_.Draw(10, 10, std::string("abc\0def", 7), 10, kWhite);
    EXPECT_TRUE(Frame() == plain);
}

TEST_F(OverlayTextTest, NothingIsDrawnWithoutAFontForTheKey) {
    fonts_.Draw(10, 10, "no font is 12 high", 12, kWhite);
    fonts_.Create(1, kMsGothic, 5000, 400);  // too high: the font cannot be made
    EXPECT_FALSE(fonts_.HasFont(1));
    EXPECT_EQ(fonts_.HeightKey(1), 5000);  // the key is set all the same
    fonts_.Draw(10, 10, "slot 1", 5000, kWhite);
    fonts_.Create(7, kMsGothic, 10, 400);  // no such slot

    fonts_.Release();
    EXPECT_FALSE(fonts_.HasFont(0));
    EXPECT_EQ(fonts_.HeightKey(0), 10);
    fonts_.Begin();
    fonts_.Draw(10, 10, "released", 10, kWhite);
    fonts_.End();
    const auto extent = ExtentOf(Frame(), kBackground);
    EXPECT_EQ(extent.right, -1) << "drawn from " << extent.left << ", " << extent.top;
}

TEST_F(OverlayTextTest, BatchLargerThanOneDrawCallMatchesSingleDraws) {
    std::vector<std::string> lines;
    for (int i = 0; i < 30; ++i)
        lines.push_back("line " + std::to_string(i) + ": ABCDEFGHIJKLMNOP");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        fonts_.Draw(5, static_cast<std::int32_t>(12 * i), lines[i], 10, kWhite);
    }
    const auto single = Frame();

    device().BeginFrame(kBackground);
    fonts_.Begin();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        fonts_.Draw(5, static_cast<std::int32_t>(12 * i), lines[i], 10, kWhite);
    }
    fonts_.End();
    EXPECT_TRUE(Frame() == single);
}

TEST_F(OverlayTextTest, DeviceHooksClearAndReleaseTheSlots) {
    fonts_.ConnectDeviceHooks();
    device().FreeGraphics();
    EXPECT_FALSE(fonts_.HasFont(0));
    EXPECT_EQ(fonts_.HeightKey(0), 10);
    ASSERT_TRUE(device().InitGraphics());
    EXPECT_EQ(fonts_.HeightKey(0), 0);
}

// The GL state the device has applied, as far as the text could disturb it.
std::vector<GLfloat> ReadGlState() {
    std::vector<GLfloat> state(32);
    glGetFloatv(GL_MODELVIEW_MATRIX, &state[0]);
    glGetFloatv(GL_PROJECTION_MATRIX, &state[16]);
    for (const GLenum value :
         {GL_LIGHTING, GL_DEPTH_TEST, GL_BLEND, GL_TEXTURE_2D, GL_CULL_FACE, GL_COLOR_MATERIAL,
          GL_FOG, GL_VERTEX_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_TEXTURE_BINDING_2D, GL_BLEND_SRC,
          GL_BLEND_DST, GL_DEPTH_WRITEMASK, GL_MATRIX_MODE, GL_UNPACK_ALIGNMENT, GL_FRONT_FACE}) {
        GLint v = 0;
        glGetIntegerv(value, &v);
        state.push_back(static_cast<GLfloat>(v));
    }
    return state;
}

TEST_F(OverlayTextTest, DeviceStateIsUnchangedByDrawing) {
    gfx::Texture image;
    image.levels.push_back({2, 2, {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0}});
    framework::Texture texture{image, device().Upload(image)};
    ASSERT_NE(texture.deviceHandle, 0u);
    device().SetTexture(0, &texture);
    gfx::Matrix world = gfx::MatrixIdentity();
    world.m[3][0] = 2;
    device().SetTransform(framework::TransformState::kWorld, world);
    const gfx::Matrix projection = device().GetTransform(framework::TransformState::kProjection);

    const std::vector<GLfloat> before = ReadGlState();
    fonts_.Draw(10, 10, "Part 3: arm.x", 10, kWhite);
    fonts_.Begin();
    fonts_.Draw(10, 30, kJapanese, 10, kWhite);
    fonts_.End();
    EXPECT_EQ(ReadGlState(), before);
    EXPECT_EQ(device().GetRenderState(framework::RenderState::kLighting), 1u);
    EXPECT_EQ(device().GetRenderState(framework::RenderState::kZEnable), 1u);
    EXPECT_EQ(device().GetTransform(framework::TransformState::kWorld), world);
    EXPECT_EQ(device().GetTransform(framework::TransformState::kProjection), projection);
    EXPECT_NE(ExtentOf(Frame(), kBackground).right, -1);
}

TEST(OverlayFontDescriptionTest, FaceNameIsCutToWholeCharactersWithin31Bytes) {
    const auto startup = OverlayFontDescription(kMsGothic, 10, -256);
    EXPECT_EQ(startup.faceName, kMsGothic);  // 19 bytes
    EXPECT_EQ(startup.height, 10);
    EXPECT_EQ(startup.weight, -256);
    EXPECT_EQ(OverlayFontDescription(std::string(40, 'a'), 0, 0).faceName, std::string(31, 'a'));
    std::string kana;
    for (int i = 0; i < 11; ++i) kana += "\xE3\x82\xA2";  // ア, 33 bytes
    EXPECT_EQ(OverlayFontDescription(kana, 0, 0).faceName, kana.substr(0, 30));
}

TEST(GlyphAtlasTest, GrowingKeepsEveryPlacedGlyph) {
    GlyphAtlas atlas;
    std::vector<AtlasGlyph> placed;
    for (std::uint32_t i = 0; i < 120; ++i) {
        gfx::GlyphBitmap bitmap;
        bitmap.width = 20 + i % 13;
        bitmap.rows = 15 + i % 7;
        bitmap.coverage.assign(std::size_t{bitmap.width} * bitmap.rows,
                               static_cast<std::uint8_t>(i + 1));
        const AtlasGlyph* glyph = atlas.Place(U'A' + i, bitmap);
        ASSERT_NE(glyph, nullptr);
        EXPECT_EQ(atlas.Place(U'A' + i, bitmap), glyph);  // placed once
        placed.push_back(*glyph);
    }
    EXPECT_GT(atlas.Width() * atlas.Height(), GlyphAtlas::kInitialSize * GlyphAtlas::kInitialSize);
    // Each glyph's texels hold its own value only: nothing moved or overlapped.
    const auto texels = atlas.Texels();
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const AtlasGlyph& g = placed[i];
        ASSERT_LE(g.x + g.width, atlas.Width());
        ASSERT_LE(g.y + g.height, atlas.Height());
        for (int y = g.y; y < g.y + g.height; ++y) {
            for (int x = g.x; x < g.x + g.width; ++x) {
                ASSERT_EQ(texels[static_cast<std::size_t>(y * atlas.Width() + x)], i + 1) << i;
            }
        }
    }

    gfx::GlyphBitmap tooWide;
    tooWide.width = GlyphAtlas::kMaxSize + 1;
    tooWide.rows = 1;
    tooWide.coverage.assign(tooWide.width, 255);
    EXPECT_EQ(atlas.Place(U'@', tooWide), nullptr);
}

}  // namespace
}  // namespace scene
