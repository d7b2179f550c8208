// Fonts: face-name resolution through our fonts.conf, sizes in LOGFONT terms, measuring and
// drawing text into texel buffers. Sizes below rely on IPAGothic being monospaced with
// full-width characters one em wide and half-width ones half an em (its average width).

#include "gfx/font/font.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace gfx {
namespace {

// U+FF2D U+FF33 (full-width M S), U+0020, then ゴシック; the P variant has U+FF30 before the kana.
const std::string kMsGothic =
    "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";
const std::string kMsPGothic =
    "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";
const std::string kGoshikku = "\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";  // ゴシック
constexpr char32_t kKatakanaGo = 0x30B4;                                           // ゴ

Font MakeFont(const std::string& face, std::int32_t height, std::int32_t weight = -256) {
    auto font = Font::Create({face, height, weight});
    EXPECT_TRUE(font.ok()) << face << ": " << (font.ok() ? "" : font.error());
    return std::move(font).value();
}

std::string FamilyOf(const std::string& face) {
    auto match = MatchFont(face, -256);
    EXPECT_TRUE(match.ok()) << face;
    return match.ok() ? match->family : "";
}

// What the system's own configuration, without our file, picks for a family.
std::string SystemFamilyOf(const char* face) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(face));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* font = FcFontMatch(config, pattern, &result);
    FcChar8* family = nullptr;
    std::string name;
    if (font && FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch) {
        name = reinterpret_cast<const char*>(family);
    }
    if (font) FcPatternDestroy(font);
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return name;
}

TEST(FontResolution, JapaneseGothicNamesMapToIpaFonts) {
    EXPECT_EQ(FamilyOf(kMsGothic), "IPAGothic");
    EXPECT_EQ(FamilyOf("MS Gothic"), "IPAGothic");
    EXPECT_EQ(FamilyOf(kMsPGothic), "IPAPGothic");
    EXPECT_EQ(FamilyOf("MS PGothic"), "IPAPGothic");
}

TEST(FontResolution, GenericFamiliesKeepTheSystemChoice) {
    // The system's sans-serif list names MS Gothic further down; only a first-family rule
    // leaves it alone.
    const std::string systemSans = SystemFamilyOf("sans-serif");
    ASSERT_FALSE(systemSans.empty());
    EXPECT_EQ(FamilyOf("sans-serif"), systemSans);
    EXPECT_EQ(FamilyOf("sans-serif").rfind("IPA", 0), std::string::npos);
    EXPECT_EQ(FamilyOf("serif"), SystemFamilyOf("serif"));
}

TEST(FontResolution, WeightsDefaultNormalAndBold) {
    const auto normal = MatchFont("DejaVu Sans", 400);
    ASSERT_TRUE(normal.ok()) << normal.error();
    for (std::int32_t weight : {-256, 0}) {
        auto match = MatchFont("DejaVu Sans", weight);
        ASSERT_TRUE(match.ok()) << match.error();
        EXPECT_EQ(match->file, normal->file) << weight;
    }
    const auto bold = MatchFont("DejaVu Sans", 600);
    ASSERT_TRUE(bold.ok()) << bold.error();
    EXPECT_NE(bold->file, normal->file);
    EXPECT_FALSE(bold->embolden);
    // IPAGothic has no bold face: bold is synthesised.
    auto ipaBold = MatchFont("MS Gothic", 700);
    ASSERT_TRUE(ipaBold.ok()) << ipaBold.error();
    EXPECT_TRUE(ipaBold->embolden);
    EXPECT_FALSE(MatchFont("MS Gothic", -256)->embolden);
}

TEST(FontResolution, ConfigFilesAndBadNames) {
    EXPECT_FALSE(MatchFont("MS \xFF Gothic", 0).ok());

    ASSERT_TRUE(InitFontConfig().ok());
    const std::string loaded = LoadedFontConfPath();
    EXPECT_NE(loaded.find("fonts.conf"), std::string::npos);
    Status missing = InitFontConfig("/nonexistent/fonts.conf");
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("/nonexistent/fonts.conf"), std::string::npos);
    EXPECT_EQ(LoadedFontConfPath(), loaded);  // the working configuration stays
    EXPECT_EQ(FamilyOf(kMsGothic), "IPAGothic");

    // A relative path counts from the working directory.
    const auto source = std::filesystem::path(POSEWRIGHTER_TEST_DATA) / "../../gfx/font/fonts.conf";
    const auto relative = std::filesystem::relative(source, std::filesystem::current_path());
    Status fromRelative = InitFontConfig(relative.string());
    ASSERT_TRUE(fromRelative.ok()) << fromRelative.error();
    EXPECT_EQ(FamilyOf("MS PGothic"), "IPAPGothic");
    ASSERT_TRUE(InitFontConfig().ok());
}

TEST(FontSize, PositiveIsCellHeightNegativeIsEmHeight) {
    // IPAGothic's cell is 2203/2048 em: a 22-pixel cell holds a 20-pixel em.
    Font cell = MakeFont(kMsGothic, 22);
    EXPECT_EQ(cell.LineHeight(), 22);
    EXPECT_EQ(cell.Glyph(kKatakanaGo).advance, 20);
    EXPECT_EQ(cell.Glyph(U'A').advance, 10);

    Font em = MakeFont(kMsGothic, -20);
    EXPECT_EQ(em.Glyph(kKatakanaGo).advance, 20);
    EXPECT_EQ(em.LineHeight(), 22);
    EXPECT_EQ(em.AverageCharWidth(), 10);
    EXPECT_GT(em.Ascent(), 0);
    EXPECT_LT(em.Ascent(), em.LineHeight());

    EXPECT_FALSE(Font::Create({kMsGothic, 5000, 0}).ok());
    EXPECT_FALSE(Font::Create({kMsGothic, INT32_MIN, 0}).ok());
    EXPECT_TRUE(Font::Create({kMsGothic, 0, 0}).ok());  // default size
}

TEST(FontMeasure, WidthFollowsTheTextAndLinesStack) {
    Font font = MakeFont(kMsGothic, -20);
    const std::int32_t line = font.LineHeight();
    EXPECT_EQ(font.MeasureText(""), (TextSize{0, 0}));
    EXPECT_EQ(font.MeasureText("abcd"), (TextSize{40, line}));
    EXPECT_LT(font.MeasureText("abc").width, font.MeasureText("abcdef").width);
    EXPECT_EQ(font.MeasureText(kGoshikku), (TextSize{80, line}));
    EXPECT_EQ(font.MeasureText("ab\nabcd"), (TextSize{40, 2 * line}));
    EXPECT_EQ(font.MeasureText("ab\r\nabcd\rx"), (TextSize{40, 3 * line}));
    // Invalid UTF-8 measures as the replacement character.
    EXPECT_EQ(font.MeasureText("\xFF"), font.MeasureText("\xEF\xBF\xBD"));
}

TEST(FontMeasure, TabsStopEveryEightAverageWidths) {
    Font font = MakeFont(kMsGothic, -20);  // average width 10: stops every 80 pixels
    EXPECT_EQ(font.MeasureText("\tA").width, 90);
    EXPECT_EQ(font.MeasureText("abc\tA").width, 90);
    EXPECT_EQ(font.MeasureText("abcdefgh\tA").width, 170);  // at a stop: on to the next
    EXPECT_EQ(font.MeasureText("a\t\tA").width, 170);
    EXPECT_EQ(font.MeasureText("x\ty\n\tA").width, 90);           // stops restart on each line
    EXPECT_NE(font.MeasureText("\tA", kTextNoPrefix).width, 90);  // without expansion
}

TEST(FontMeasure, AmpersandPrefixes) {
    Font font = MakeFont(kMsGothic, -20);
    EXPECT_EQ(font.MeasureText("&A", kOverlayTextFlags).width, 20);  // '&' is a character
    EXPECT_EQ(font.MeasureText("&A", 0).width, 10);                  // '&' marks A
    EXPECT_EQ(font.MeasureText("&&", 0).width, 10);                  // one ampersand
    EXPECT_EQ(font.MeasureText("a&", 0).width, 10);                  // a lone '&' at the end
}

struct Canvas {
    std::uint32_t width, height;
    std::vector<std::uint32_t> texels;
    Canvas(std::uint32_t w, std::uint32_t h, std::uint32_t fill)
        : width(w), height(h), texels(std::size_t{w} * h, fill) {}
    std::uint32_t At(std::int64_t x, std::int64_t y) const { return texels[y * width + x]; }
};

TEST(FontDraw, ChangesOnlyTexelsInsideTheTextBox) {
    Font font = MakeFont(kMsGothic, 12);
    const std::uint32_t background = 0xFF102030;
    Canvas canvas(80, 40, background);
    const std::string text = "Hello, W&g\tj\n" + kGoshikku;
    const TextSize box = font.MeasureText(text);
    const std::int32_t x = 7, y = 5;
    ASSERT_TRUE(
        font.DrawText(text, canvas.texels, canvas.width, canvas.height, x, y, 0xFFFFFFFF).ok());
    int changed = 0;
    for (std::int64_t ty = 0; ty < canvas.height; ++ty) {
        for (std::int64_t tx = 0; tx < canvas.width; ++tx) {
            if (canvas.At(tx, ty) == background) continue;
            ++changed;
            EXPECT_TRUE(tx >= x && tx < x + box.width && ty >= y && ty < y + box.height)
                << tx << "," << ty << " outside " << box.width << "x" << box.height;
        }
    }
    EXPECT_GT(changed, 40);
}

TEST(FontDraw, GlyphCoverageLandsAtItsBearing) {
    // Opaque white over transparent black leaves each texel's alpha equal to its coverage;
    // the glyph's top-left sits at (x + left, y + ascent - top).
    Font font = MakeFont(kMsGothic, -16);
    const GlyphBitmap glyph = font.Glyph(kKatakanaGo);
    ASSERT_NE(glyph.glyphIndex, 0u);
    ASSERT_GT(glyph.width * glyph.rows, 0u);
    ASSERT_GT(*std::max_element(glyph.coverage.begin(), glyph.coverage.end()), 0);
    Canvas canvas(40, 30, 0);
    const std::int32_t x = 5, y = 3;
    ASSERT_TRUE(font.DrawText("\xE3\x82\xB4", canvas.texels, 40, 30, x, y, 0xFFFFFFFF).ok());
    const std::int64_t left = x + glyph.left, top = y + font.Ascent() - glyph.top;
    for (std::uint32_t r = 0; r < glyph.rows; ++r) {
        for (std::uint32_t c = 0; c < glyph.width; ++c) {
            const std::uint32_t coverage = glyph.coverage[r * glyph.width + c];
            const std::uint32_t expected = coverage ? coverage * 0x01010101u : 0;
            ASSERT_EQ(canvas.At(left + c, top + r), expected) << c << "," << r;
        }
    }
}

TEST(FontDraw, ColourAlphaScalesCoverage) {
    Font font = MakeFont(kMsGothic, 16);
    auto brightestRed = [&](Colour colour) {
        Canvas canvas(60, 20, 0xFF000000);
        EXPECT_TRUE(font.DrawText("HHH", canvas.texels, 60, 20, 0, 0, colour).ok());
        std::uint32_t red = 0;
        for (std::uint32_t t : canvas.texels) {
            EXPECT_EQ(t >> 24, 0xFFu);  // an opaque target stays opaque
            red = std::max(red, (t >> 16) & 0xFF);
        }
        return red;
    };
    EXPECT_EQ(brightestRed(0xFFFF0000), 0xFFu);  // stems are fully covered
    const std::uint32_t half = brightestRed(0x80FF0000);
    EXPECT_GE(half, 0x7Fu);
    EXPECT_LE(half, 0x81u);
    EXPECT_EQ(brightestRed(0x00FF0000), 0u);  // transparent text draws nothing
}

TEST(FontDraw, NewLineStartsOneLineHeightLower) {
    Font font = MakeFont(kMsGothic, 12);
    Canvas twoCalls(30, 40, 0), oneCall(30, 40, 0);
    ASSERT_TRUE(font.DrawText("Ag", twoCalls.texels, 30, 40, 2, 1, 0xFFFFFFFF).ok());
    ASSERT_TRUE(
        font.DrawText("Ag", twoCalls.texels, 30, 40, 2, 1 + font.LineHeight(), 0xFFFFFFFF).ok());
    ASSERT_TRUE(font.DrawText("Ag\nAg", oneCall.texels, 30, 40, 2, 1, 0xFFFFFFFF).ok());
    EXPECT_EQ(oneCall.texels, twoCalls.texels);
}

TEST(FontDraw, TabsAndPrefixesInDrawing) {
    Font font = MakeFont(kMsGothic, -20);
    Canvas tabbed(200, 30, 0), placed(200, 30, 0);
    ASSERT_TRUE(font.DrawText("a\tA", tabbed.texels, 200, 30, 0, 0, 0xFFFFFFFF).ok());
    ASSERT_TRUE(font.DrawText("a", placed.texels, 200, 30, 0, 0, 0xFFFFFFFF).ok());
    ASSERT_TRUE(font.DrawText("A", placed.texels, 200, 30, 80, 0, 0xFFFFFFFF).ok());
    EXPECT_EQ(tabbed.texels, placed.texels);

    // Without kTextNoPrefix, "&A" draws A with a line one texel below the baseline.
    Canvas marked(40, 30, 0), plain(40, 30, 0);
    ASSERT_TRUE(font.DrawText("&A", marked.texels, 40, 30, 0, 0, 0xFFFFFFFF, 0).ok());
    ASSERT_TRUE(font.DrawText("A", plain.texels, 40, 30, 0, 0, 0xFFFFFFFF, 0).ok());
    const std::int64_t underlineRow = font.Ascent() + 1;
    for (std::int64_t ty = 0; ty < 30; ++ty) {
        for (std::int64_t tx = 0; tx < 40; ++tx) {
            const bool onLine = ty == underlineRow && tx < 10;
            if (onLine) {
                EXPECT_EQ(marked.At(tx, ty), 0xFFFFFFFFu) << tx;
            } else {
                EXPECT_EQ(marked.At(tx, ty), plain.At(tx, ty)) << tx << "," << ty;
            }
        }
    }
}

TEST(FontDraw, ClipsAtTheBufferAndRectangleEdges) {
    Font font = MakeFont(kMsGothic, 16);
    const std::string text = "Clip " + kGoshikku + "\nW\tW\nlong line of text";
    const std::uint32_t w = 24, h = 12, guard = 64, marker = 0x12345678;
    for (auto [x, y] : {std::pair{14, 6}, std::pair{-9, -7}, std::pair{-500, 3}, std::pair{23, 11},
                        std::pair{1000, 1000}, std::pair{INT32_MAX, 0}, std::pair{0, INT32_MAX},
                        std::pair{INT32_MIN, INT32_MIN}}) {
        // The drawable texels sit between two guard bands that must stay untouched.
        std::vector<std::uint32_t> memory(guard + w * h + guard, marker);
        std::span<std::uint32_t> target(memory.data() + guard, w * h);
        std::fill(target.begin(), target.end(), 0);
        ASSERT_TRUE(font.DrawText(text, target, w, h, x, y, 0xFFFFFFFF).ok());
        for (std::uint32_t i = 0; i < guard; ++i) {
            ASSERT_EQ(memory[i], marker) << x << "," << y;
            ASSERT_EQ(memory[guard + w * h + i], marker) << x << "," << y;
        }
        // Nothing left of x or above y.
        for (std::int64_t ty = 0; ty < h; ++ty) {
            for (std::int64_t tx = 0; tx < w; ++tx) {
                if (tx < x || ty < y) {
                    ASSERT_EQ(target[ty * w + tx], 0u) << tx << "," << ty;
                }
            }
        }
    }
    // An exactly sized buffer (any overrun is a heap overflow under the sanitizers).
    std::vector<std::uint32_t> exact(w * h, 0);
    ASSERT_TRUE(font.DrawText(text, exact, w, h, 3, 2, 0xFFFFFFFF).ok());
    EXPECT_NE(std::count(exact.begin(), exact.end(), 0u), static_cast<long>(exact.size()));

    // A rectangle clips on all four sides.
    Canvas canvas(40, 30, 0);
    const TextRect rect{4, 3, 12, 9};
    ASSERT_TRUE(font.DrawText("WWWW\nWWWW", canvas.texels, 40, 30, rect, 0xFFFFFFFF).ok());
    int inside = 0;
    for (std::int64_t ty = 0; ty < 30; ++ty) {
        for (std::int64_t tx = 0; tx < 40; ++tx) {
            const bool in =
                tx >= rect.left && tx < rect.right && ty >= rect.top && ty < rect.bottom;
            if (!in) {
                ASSERT_EQ(canvas.At(tx, ty), 0u) << tx << "," << ty;
            }
            if (in && canvas.At(tx, ty) != 0) ++inside;
        }
    }
    EXPECT_GT(inside, 0);

    // A span smaller than the stated size is refused.
    std::vector<std::uint32_t> small(10, 0);
    EXPECT_FALSE(font.DrawText("x", small, w, h, 0, 0, 0xFFFFFFFF).ok());
}

TEST(FontDraw, JapaneseTextUsesIpaGothicGlyphs) {
    Font font = MakeFont(kMsGothic, 10);
    EXPECT_EQ(font.Match().family, "IPAGothic");
    for (char32_t c : {char32_t{0x30B4}, char32_t{0x30B7}, char32_t{0x30C3}, char32_t{0x30AF}}) {
        const GlyphBitmap& glyph = font.Glyph(c);
        EXPECT_NE(glyph.glyphIndex, 0u) << static_cast<std::uint32_t>(c);
        EXPECT_GT(std::count_if(glyph.coverage.begin(), glyph.coverage.end(),
                                [](std::uint8_t v) { return v > 0; }),
                  0);
    }
    Canvas canvas(60, 12, 0);
    ASSERT_TRUE(font.DrawText(kGoshikku, canvas.texels, 60, 12, 0, 0, 0xFFC0C0C0).ok());
    EXPECT_GT(std::count_if(canvas.texels.begin(), canvas.texels.end(),
                            [](std::uint32_t t) { return t != 0; }),
              30);
}

}  // namespace
}  // namespace gfx
