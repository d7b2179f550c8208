#include "files/animation_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "files_test_util.h"

namespace files {
namespace {

using namespace files::testing;

std::unique_ptr<model::PartTable> ThreePartTable() {
    auto table = TwoPartTable();
    table->count = 3;
    SetName(*table, 2, "hand.x");
    table->parent[2] = 1;
    table->level[2] = 2;
    return table;
}

// Every key of the first `keys` holds a distinct pose per part, so a part or key read into
// the wrong slot shows.
std::unique_ptr<model::AnimationSet> DistinctAnimation(int keys, int parts) {
    auto animation = std::make_unique<model::AnimationSet>();
    animation->ClearAnimation();
    for (int k = 0; k < keys; ++k) {
        animation->frameCount[k] = static_cast<std::int16_t>(10 * (k + 1));
        for (int j = 0; j < parts; ++j) {
            const float base = static_cast<float>(k * 100 + j);
            animation->keyOrientation[k][j] = {base + 0.125f, -base, 0.5f, 0.25f};
            animation->keyPosition[k][j] = {base, base + 0.000001f, -1000.5f};
        }
    }
    return animation;
}

void ExpectReadFails(std::string_view bytes, int parts, std::string_view why) {
    auto animation = std::make_unique<model::AnimationSet>();
    const gfx::Status status = ParseAnimationFile(bytes, parts, *animation);
    EXPECT_FALSE(status.ok()) << why;
    EXPECT_EQ(status.error(), kReadFailedText) << why;
    EXPECT_EQ(animation->frameCount[0], 0) << why;
}

TEST(AnimationFileTest, WorkedExampleIsWrittenByteForByte) {
    const auto text = FormatAnimationFile(*TwoKeyAnimation(), *TwoPartTable());
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(*text, Fixture("two_keys.pwa"));
}

TEST(AnimationFileTest, WorkedExampleReadsBackWithCrLfOrLf) {
    for (const std::string& bytes :
         {Fixture("two_keys.pwa"), WithoutCarriageReturns(Fixture("two_keys.pwa"))}) {
        auto animation = DistinctAnimation(16, 2);  // everything is replaced
        ASSERT_TRUE(ParseAnimationFile(bytes, 2, *animation).ok());
        auto expected = TwoKeyAnimation();
        expected->keyOrientation[1][1] = {0.0f, 0.707107f, 0.0f, 0.707107f};
        EXPECT_EQ(animation->frameCount, expected->frameCount);
        EXPECT_EQ(animation->keyOrientation, expected->keyOrientation);
        EXPECT_EQ(animation->keyPosition, expected->keyPosition);
    }
}

TEST(AnimationFileTest, OnlyTheKeysBeforeTheFirstZeroAreWritten) {
    auto animation = TwoKeyAnimation();
    animation->frameCount[3] = 5;  // counts 10, 20, 0, 5
    const auto text = FormatAnimationFile(*animation, *ThreePartTable());
    ASSERT_TRUE(text.ok());
    const auto lines = SplitLines(*text);
    EXPECT_EQ(lines.size(), 2u * 2 * 3 + 2 * 2 + 6);
    EXPECT_EQ(lines[0], "short g_frameCount[2] = {10, 20};\r\n");
    EXPECT_EQ(lines[2], "QUAT g_qua[2][3] = {\r\n");
    EXPECT_EQ(lines[6], "\r\n");  // between the two key groups
}

TEST(AnimationFileTest, FileOfThreePartsReadsOnlyIntoThreeParts) {
    for (int keys : {1, 2, 16}) {
        const auto saved = DistinctAnimation(keys, 3);
        const auto text = FormatAnimationFile(*saved, *ThreePartTable());
        ASSERT_TRUE(text.ok());
        auto animation = std::make_unique<model::AnimationSet>();
        ASSERT_TRUE(ParseAnimationFile(*text, 3, *animation).ok()) << keys;
        for (int k = 0; k < keys; ++k) {
            for (int j = 0; j < 3; ++j) {
                // Six decimals: every value written is within half a millionth (plus float
                // rounding of numbers near 1000).
                EXPECT_NEAR(animation->keyPosition[k][j].y, saved->keyPosition[k][j].y, 1e-4);
                EXPECT_EQ(animation->keyOrientation[k][j], saved->keyOrientation[k][j]);
            }
        }
        ExpectReadFails(*text, 2, "three parts read into two");
        ExpectReadFails(*text, 4, "three parts read into four");
    }
}

TEST(AnimationFileTest, FileCutBeforeTheLastPositionFails) {
    const auto lines = SplitLines(Fixture("two_keys.pwa"));
    ASSERT_EQ(lines.size(), 18u);
    for (std::size_t kept = 0; kept <= lines.size(); ++kept) {
        auto animation = std::make_unique<model::AnimationSet>();
        const gfx::Status status = ParseAnimationFile(FirstLines(lines, kept), 2, *animation);
        // Nothing after the last position entry is needed.
        EXPECT_EQ(status.ok(), kept >= 16) << "cut after line " << kept;
    }
}

TEST(AnimationFileTest, MalformedFirstLineOrEntriesFail) {
    const std::string example = Fixture("two_keys.pwa");
    const struct {
        int line;
        const char* text;
        const char* why;
    } cases[] = {
        {1, "short g_frameCount[0] = {};", "no keys"},
        {1, "short g_frameCount[17] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};",
         "17 keys"},
        {1, "short g_frameCount[2] = {10};", "fewer counts than keys"},
        {1, "short g_frameCount[2] = {10, 20, 30};", "more counts than keys"},
        {1, "short g_frameCount[2] = {10, 40000};", "count beyond 16 bits"},
        {1, "short g_frameCount[2] = 10, 20;", "no brace"},
        {1, "short g_frameCount = {10, 20};", "no brackets"},
        {6, "\tQUAT( +0f, +0f, +0f, +1f),\t// extra", "entry where the blank line belongs"},
        {9, "\tQUAT( +0f, +0f, +0f, +1f),\t// extra", "entry where the closing line belongs"},
        {12, "\tVEC3( +0f, +0f, +inff),\t\t// body.x", "infinite position"},
        {16, "\tVEC3( +1.5f, +0f),\t\t// arm.x", "vector with two numbers"},
        {17, "\tVEC3( +0f, +0f, +0f),\t\t// extra", "entry where the closing line belongs"},
    };
    for (const auto& c : cases) ExpectReadFails(ReplaceLine(example, c.line, c.text), 2, c.why);
    ExpectReadFails(example, -1, "negative part count");
    ExpectReadFails(example, 101, "part count above 100");
}

TEST(AnimationFileTest, FrameCountsTakeAnySixteenBitValue) {
    const std::string text =
        ReplaceLine(Fixture("two_keys.pwa"), 1, "short g_frameCount[2] = { -32768 ,32767};");
    auto animation = std::make_unique<model::AnimationSet>();
    ASSERT_TRUE(ParseAnimationFile(text, 2, *animation).ok());
    EXPECT_EQ(animation->frameCount[0], -32768);
    EXPECT_EQ(animation->frameCount[1], 32767);
}

TEST(AnimationFileTest, FailedReadLeavesAClearedPartlyReadEmptyAnimation) {
    std::string text = Fixture("two_keys.pwa");
    text = ReplaceLine(text, 7, "\tQUAT( +0.5f, +0f, +0f, +1f),\t// body.x");
    text = ReplaceLine(text, 8, "\tQUAT( +0f, +0.7f, +0f),\t// arm.x");
    auto animation = DistinctAnimation(16, 2);
    EXPECT_FALSE(ParseAnimationFile(text, 2, *animation).ok());
    EXPECT_EQ(animation->frameCount[0], 0);
    EXPECT_EQ(animation->frameCount[1], 20);  // read from line 1 before the fault
    EXPECT_EQ(animation->frameCount[2], 0);   // cleared
    EXPECT_EQ(animation->keyOrientation[1][0], (gfx::Quat{0.5f, 0, 0, 1}));  // read
    EXPECT_EQ(animation->keyOrientation[1][1], gfx::Quat{});  // the faulty line: cleared
    EXPECT_EQ(animation->keyOrientation[5][1], gfx::Quat{});  // beyond the file: cleared
    EXPECT_EQ(animation->keyPosition[0][1], gfx::Vec3{});     // not reached: cleared
}

TEST(AnimationFileTest, WriterRefusesNonFiniteValuesAndBadNames) {
    auto animation = TwoKeyAnimation();
    animation->keyPosition[1][1].z = std::numeric_limits<float>::infinity();
    auto text = FormatAnimationFile(*animation, *TwoPartTable());
    ASSERT_FALSE(text.ok());
    EXPECT_EQ(text.error(), kWriteFailedText);
    // A non-finite value in a key that is not in use is not written and does not matter.
    animation->frameCount[1] = 0;
    EXPECT_TRUE(FormatAnimationFile(*animation, *TwoPartTable()).ok());

    for (const char* name : {"two\nlines", "two\rlines"}) {
        auto table = TwoPartTable();
        SetName(*table, 0, name);
        EXPECT_FALSE(FormatAnimationFile(*TwoKeyAnimation(), *table).ok()) << name;
    }
}

TEST(AnimationFileTest, ADoubleQuoteInANameIsWrittenInTheComments) {
    auto table = TwoPartTable();
    SetName(*table, 1, "a\"rm.x");
    const auto text = FormatAnimationFile(*TwoKeyAnimation(), *table);
    ASSERT_TRUE(text.ok());
    std::string expected = Fixture("two_keys.pwa");
    for (std::size_t at = 0; (at = expected.find("// arm.x", at)) != std::string::npos;) {
        expected.replace(at, 8, "// a\"rm.x");
    }
    EXPECT_EQ(*text, expected);
}

TEST(AnimationFileTest, DiskWritesReportWhatHappened) {
    ScratchFolder folder;
    const std::string path = (folder / "walk.pwa").string();
    const auto written = WriteAnimationFile(path, *TwoKeyAnimation(), *TwoPartTable());
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(*written, AnimationWrite::kWritten);
    EXPECT_EQ(ReadBytes(path), Fixture("two_keys.pwa"));

    // Empty: nothing written, the existing file untouched.
    auto empty = TwoKeyAnimation();
    empty->frameCount[0] = 0;
    const auto skipped = WriteAnimationFile(path, *empty, *TwoPartTable());
    ASSERT_TRUE(skipped.ok());
    EXPECT_EQ(*skipped, AnimationWrite::kEmpty);
    EXPECT_EQ(ReadBytes(path), Fixture("two_keys.pwa"));
    EXPECT_EQ(WriteAnimationFile((folder / "new.pwa").string(), *empty, *TwoPartTable()).value(),
              AnimationWrite::kEmpty);
    EXPECT_FALSE(std::filesystem::exists(folder / "new.pwa"));

    const auto failed = WriteAnimationFile((folder / "none" / "a.pwa").string(), *TwoKeyAnimation(),
                                           *TwoPartTable());
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error(), kWriteFailedText);
}

TEST(AnimationFileTest, DiskReadsReplaceTheSetOrEmptyIt) {
    ScratchFolder folder;
    const std::string path = (folder / "walk.pwa").string();
    WriteBytes(path, Fixture("two_keys.pwa"));
    auto animation = DistinctAnimation(16, 2);
    ASSERT_TRUE(ReadAnimationFile(path, 2, *animation).ok());
    EXPECT_EQ(animation->KeysInUse(), 2);
    EXPECT_EQ(animation->keyPosition[5][0], gfx::Vec3{});

    // A file that cannot be opened only empties the animation.
    animation = DistinctAnimation(16, 2);
    const gfx::Status missing = ReadAnimationFile((folder / "none.pwa").string(), 2, *animation);
    EXPECT_EQ(missing.error(), std::string(kReadFailedText) + "\r" +
                                   (folder / "none.pwa").string() + "\rNo such file or directory");
    EXPECT_EQ(animation->frameCount[0], 0);
    EXPECT_EQ(animation->frameCount[1], 20);
    EXPECT_EQ(animation->keyPosition[5][0], DistinctAnimation(16, 2)->keyPosition[5][0]);
}

}  // namespace
}  // namespace files
