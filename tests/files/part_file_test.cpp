#include "files/part_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "files/text_lines.h"
#include "files_test_util.h"
#include "framework/debug_log.h"

namespace files {
namespace {

using namespace files::testing;
using namespace std::string_view_literals;

void ExpectReadFails(std::string_view bytes, std::string_view why) {
    auto table = std::make_unique<model::PartTable>();
    const gfx::Status status = ParsePartFile(bytes, *table);
    EXPECT_FALSE(status.ok()) << why;
    EXPECT_EQ(status.error(), kReadFailedText) << why;
}

void ExpectWriteRefused(const model::PartTable& table, std::string_view why) {
    const auto text = FormatPartFile(table);
    EXPECT_FALSE(text.ok()) << why;
    if (!text.ok()) {
        EXPECT_EQ(text.error(), kWriteFailedText) << why;
    }
}

void ExpectSameFileFields(const model::PartTable& a, const model::PartTable& b) {
    ASSERT_EQ(a.count, b.count);
    EXPECT_EQ(a.scale, b.scale);
    for (int i = 0; i < a.count; ++i) {
        EXPECT_EQ(a.name[i], b.name[i]) << i;
        EXPECT_EQ(a.path[i], b.path[i]) << i;
        EXPECT_EQ(a.parent[i], b.parent[i]) << i;
        EXPECT_EQ(a.level[i], b.level[i]) << i;
        EXPECT_EQ(a.defaultPosition[i], b.defaultPosition[i]) << i;
        EXPECT_EQ(a.defaultOrientation[i], b.defaultOrientation[i]) << i;
    }
}

TEST(PartFileTest, WorkedExampleIsWrittenByteForByte) {
    const auto text = FormatPartFile(*TwoPartTable());
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(*text, Fixture("two_parts.pwp"));
}

TEST(PartFileTest, WorkedExampleReadsBackWithCrLfOrLf) {
    for (const std::string& bytes :
         {Fixture("two_parts.pwp"), WithoutCarriageReturns(Fixture("two_parts.pwp"))}) {
        auto table = std::make_unique<model::PartTable>();
        ASSERT_TRUE(ParsePartFile(bytes, *table).ok());
        auto expected = TwoPartTable();
        // Six decimals: the file holds 0.707107, not the float of sin 45 degrees.
        expected->defaultOrientation[1] = {0.0f, 0.707107f, 0.0f, 0.707107f};
        ExpectSameFileFields(*table, *expected);
        EXPECT_EQ(table->Path(0), "C:\\parts\\body.x");  // backslashes stay single
    }
}

TEST(PartFileTest, NegativeZeroIsWrittenWithMinusAndReadsAsZero) {
    auto table = TwoPartTable();
    table->defaultPosition[0] = {-0.0f, 0.0f, 0.0f};
    const auto text = FormatPartFile(*table);
    ASSERT_TRUE(text.ok());
    EXPECT_NE(text->find("\tVEC3( -0.000000f, +0.000000f, +0.000000f),\t// body.x\r\n"),
              std::string::npos);
    auto back = std::make_unique<model::PartTable>();
    ASSERT_TRUE(ParsePartFile(*text, *back).ok());
    EXPECT_EQ(back->defaultPosition[0].x, 0.0f);
    EXPECT_TRUE(std::signbit(back->defaultPosition[0].x));  // the sign is kept: same bytes again
    EXPECT_EQ(*FormatPartFile(*back), *text);
}

TEST(PartFileTest, ShiftJisNamesAndLongestPathRoundTripByteForByte) {
    auto table = TwoPartTable();
    const std::string name = "\x83\x41\x81\x5B\x83\x80.x";  // katakana "arm" in Shift-JIS
    // "\x95\x5C" has a backslash as its trail byte; the path fills its field to 255 bytes.
    std::string path = "C:\\\x95\x5C\\";
    path += std::string(255 - path.size() - 2, 'p') + ".x";
    ASSERT_EQ(path.size(), 255u);
    SetName(*table, 1, name);
    SetPath(*table, 1, path);
    const auto text = FormatPartFile(*table);
    ASSERT_TRUE(text.ok());
    EXPECT_NE(text->find("\t\"" + name + "\",\r\n"), std::string::npos);
    auto back = std::make_unique<model::PartTable>();
    ASSERT_TRUE(ParsePartFile(*text, *back).ok());
    EXPECT_EQ(back->Name(1), name);
    EXPECT_EQ(back->Path(1), path);
}

TEST(PartFileTest, LongestWrittenLinesReadBack) {
    auto table = TwoPartTable();
    const float big = -std::numeric_limits<float>::max();
    SetName(*table, 1, std::string(63, 'n'));
    table->defaultOrientation[1] = {big, big, big, big};
    const auto text = FormatPartFile(*table);
    ASSERT_TRUE(text.ok());
    // Tab, "QUAT( ", four 48-character numbers, three ", ", "),", tab, "// ", 63-byte name.
    const std::size_t longest = 1 + 6 + 4 * 48 + 3 * 2 + 2 + 1 + 3 + 63;
    std::size_t seen = 0;
    for (const std::string& line : SplitLines(*text)) seen = std::max(seen, line.size() - 2);
    EXPECT_EQ(seen, longest);
    EXPECT_EQ(kMaxLineLength, longest);
    auto back = std::make_unique<model::PartTable>();
    ASSERT_TRUE(ParsePartFile(*text, *back).ok());
    ExpectSameFileFields(*back, *table);
    // One byte more in a comment and the line is refused.
    auto lines = SplitLines(*text);
    lines[31].insert(lines[31].size() - 2, "!");
    ExpectReadFails(FirstLines(lines, lines.size()), "line over the limit");
}

TEST(PartFileTest, FileCutBeforeTheClosingLineOfTheLastArrayFails) {
    const auto lines = SplitLines(Fixture("two_parts.pwp"));
    ASSERT_EQ(lines.size(), 34u);
    for (std::size_t kept = 0; kept <= lines.size(); ++kept) {
        auto table = std::make_unique<model::PartTable>();
        const gfx::Status status = ParsePartFile(FirstLines(lines, kept), *table);
        EXPECT_EQ(status.ok(), kept >= 33) << "cut after line " << kept;
        if (!status.ok()) {
            EXPECT_EQ(status.error(), kReadFailedText);
        }
    }
    // The closing line itself may lack its line end.
    auto table = std::make_unique<model::PartTable>();
    EXPECT_TRUE(ParsePartFile(FirstLines(lines, 32) + "};", *table).ok());
}

TEST(PartFileTest, HandEditsWithinTheLayoutStillRead) {
    std::string text = Fixture("two_parts.pwp");
    text = ReplaceLine(text, 1, "short  g_meshCount=2 ;");
    text = ReplaceLine(text, 3, "float g_scale = 2.5;");
    text = ReplaceLine(text, 5, "char g_name[7][64] = {");  // declared sizes are not used
    text = ReplaceLine(text, 17, "  0 ,\t// renamed");
    auto table = std::make_unique<model::PartTable>();
    ASSERT_TRUE(ParsePartFile(text, *table).ok());
    EXPECT_EQ(table->count, 2);
    EXPECT_EQ(table->scale, 2.5f);
    EXPECT_EQ(table->parent[1], 0);
}

TEST(PartFileTest, MalformedOrOutOfRangeFieldsFail) {
    const std::string example = Fixture("two_parts.pwp");
    const struct {
        int line;
        std::string text;
        const char* why;
    } cases[] = {
        {1, "short g_meshCount = 101;", "count above 100"},
        {1, "short g_meshCount = -1;", "negative count"},
        {1, "short g_meshCount = 2", "no ';'"},
        {1, "short g_meshCount = two;", "count not a number"},
        {3, "float g_scale = 0.000000f;", "zero scale"},
        {3, "float g_scale = -1.000000f;", "negative scale"},
        {3, "float g_scale = inf;", "infinite scale"},
        {3, "float g_scale = 1.0fx;", "garbage after the scale"},
        {6, "\t\"" + std::string(64, 'n') + "\",", "64-byte name"},
        {6, "\tbody.x,", "name without quotes"},
        {11, "\t\"" + std::string(256, 'p') + "\",", "256-byte path"},
        {16, "\t-1\t// body.x\",", "index not followed by a comma"},
        {17, "\t2,\t// arm.x\",", "parent beyond the parts"},
        {17, "\t-2,\t// arm.x\",", "parent below -1"},
        {22, "\t2,\t// arm.x\",", "level beyond the parts"},
        {22, "\t1x,\t// arm.x\",", "level with garbage"},
        {27, "\tVEC3( +1.5f, +0f, nanf),\t// arm.x", "not-a-number component"},
        {32, "\tQUAT( +0f, +0f, +0f),\t// arm.x", "quaternion with three numbers"},
        {8, "\t\"extra.x\",", "more names than the count"},
    };
    for (const auto& c : cases) ExpectReadFails(ReplaceLine(example, c.line, c.text), c.why);
    ExpectReadFails(ReplaceLine(example, 6, "\t\"bo\0dy.x\","sv), "NUL byte in a name");
}

// Parts p0.x, p1.x, ... written as a valid tree, then their parent and level lines edited.
std::string FileWithTree(const std::vector<int>& parents, const std::vector<int>& levels) {
    const int n = static_cast<int>(parents.size());
    auto table = std::make_unique<model::PartTable>();
    table->count = static_cast<std::int16_t>(n);
    for (int i = 0; i < n; ++i) {
        SetName(*table, i, "p" + std::to_string(i) + ".x");
        SetPath(*table, i, "p" + std::to_string(i) + ".x");
        table->parent[i] = static_cast<model::PartIndex>(i == 0 ? -1 : 0);
        table->level[i] = static_cast<std::int16_t>(i == 0 ? 0 : 1);
    }
    std::string text = FormatPartFile(*table).value();
    for (int i = 0; i < n; ++i) {
        text = ReplaceLine(text, 12 + 2 * n + i, "\t" + std::to_string(parents[i]) + ",\t// p\",");
        text = ReplaceLine(text, 15 + 3 * n + i, "\t" + std::to_string(levels[i]) + ",\t// p\",");
    }
    return text;
}

TEST(PartFileTest, TablesThatAreNotDepthFirstTreesFail) {
    const struct {
        std::vector<int> parents, levels;
        const char* why;
    } cases[] = {
        {{-1, 1}, {0, 1}, "a part that is its own parent"},
        {{-1, -1}, {0, 1}, "a second part with parent -1"},
        {{-1, -1}, {0, 0}, "a second root"},
        {{0, 0}, {0, 1}, "a root with a parent"},
        {{-1, 0, 0}, {1, 2, 2}, "a root below level 0"},
        {{-1, 0, 1}, {0, 1, 1}, "a level that disagrees with the parent's"},
        {{-1, 2, 0}, {0, 2, 1}, "a parent later in the table"},
        {{-1, 0, 1, 0, 1}, {0, 1, 2, 1, 2}, "a child after a later sibling of its parent"},
        {{-1, 0, 1, 0, 2}, {0, 1, 2, 1, 3}, "a child after a part of a lower level"},
    };
    for (const auto& c : cases) ExpectReadFails(FileWithTree(c.parents, c.levels), c.why);

    auto table = std::make_unique<model::PartTable>();
    EXPECT_TRUE(ParsePartFile(FileWithTree({-1, 0, 1, 1, 0, 4}, {0, 1, 2, 2, 1, 2}), *table).ok());

    ScratchFolder folder;
    framework::ProcessLog().SetPath((folder / "debug.txt").string());
    ExpectReadFails(FileWithTree({-1, 1}, {0, 1}), "own parent");
    framework::ProcessLog().SetPath("");
    EXPECT_NE(ReadBytes(folder / "debug.txt")
                  .find("Part file not read: part 1: parent 1 is not an earlier part"),
              std::string::npos);
}

TEST(PartFileTest, FailureReasonGoesToTheDebugLog) {
    // A name written with a C escape, or with text after its closing quote, is refused rather
    // than cut at the quote (its resaved file would no longer compile); a scale the writer
    // cannot write back is refused as the writer refuses it.
    const struct {
        int line;
        std::string text;
        std::string reason;
    } cases[] = {
        {7, "\tarm.x,", "line 7: name: fewer than two double quotes"},
        {7, "\t\"arm\\\"L\\\".x\",",
         "line 7: name: text after the closing double quote (a quote or escape within the text "
         "is not supported)"},
        {7, "\t\"arm.x\" \"tail\",",
         "line 7: name: text after the closing double quote (a quote or escape within the text "
         "is not supported)"},
        {12, "\t\"arm.x\"x,",
         "line 12: path: text after the closing double quote (a quote or escape within the text "
         "is not supported)"},
        {3, "float g_scale = 0.0000001f;",
         "line 3: the scale is not a positive finite number of at least 0.000001"},
    };
    for (const auto& c : cases) {
        ScratchFolder folder;
        framework::ProcessLog().SetPath((folder / "debug.txt").string());
        ExpectReadFails(ReplaceLine(Fixture("two_parts.pwp"), c.line, c.text), c.text);
        framework::ProcessLog().SetPath("");
        EXPECT_EQ(ReadBytes(folder / "debug.txt"), "Part file not read: " + c.reason + "\n");
    }
    // What may follow the closing quote: blanks, the comma and a comment.
    auto table = std::make_unique<model::PartTable>();
    EXPECT_TRUE(
        ParsePartFile(ReplaceLine(Fixture("two_parts.pwp"), 7, "\t\"arm.x\" , // the arm"), *table)
            .ok());
    EXPECT_EQ(table->Name(1), "arm.x");
}

TEST(PartFileTest, WriterRefusesTablesThatWouldNotReadBack) {
    auto table = TwoPartTable();
    table->name[1].fill('n');  // no terminator: 64 bytes
    ExpectWriteRefused(*table, "unterminated name");
    table = TwoPartTable();
    SetName(*table, 1, "a\"b");
    ExpectWriteRefused(*table, "quote in a name");
    table = TwoPartTable();
    SetPath(*table, 0, "C:\\a\r\nb");
    ExpectWriteRefused(*table, "line end in a path");
    table = TwoPartTable();
    table->count = 101;
    ExpectWriteRefused(*table, "count above 100");
    table = TwoPartTable();
    table->parent[1] = 2;
    ExpectWriteRefused(*table, "parent beyond the parts");
    table = TwoPartTable();
    table->level[0] = -1;
    ExpectWriteRefused(*table, "negative level");
    table = TwoPartTable();
    table->level[1] = 0;
    ExpectWriteRefused(*table, "a level that disagrees with the parent's");
    table = TwoPartTable();
    table->defaultOrientation[0].w = std::numeric_limits<float>::quiet_NaN();
    ExpectWriteRefused(*table, "NaN component");
    for (float scale : {0.0f, -1.0f, 0.0000004f, std::numeric_limits<float>::infinity()}) {
        table = TwoPartTable();
        table->scale = scale;
        ExpectWriteRefused(*table, "scale " + std::to_string(scale));
    }
}

TEST(PartFileTest, WriteAndReadThroughTheDisk) {
    ScratchFolder folder;
    const std::string path = (folder / "model.pwp").string();
    ASSERT_TRUE(WritePartFile(path, *TwoPartTable()).ok());
    EXPECT_EQ(ReadBytes(path), Fixture("two_parts.pwp"));
    auto table = std::make_unique<model::PartTable>();
    ASSERT_TRUE(ReadPartFile(path, *table).ok());
    EXPECT_EQ(table->Name(1), "arm.x");

    const gfx::Status missing = ReadPartFile((folder / "missing.pwp").string(), *table);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.error(), std::string(kReadFailedText) + "\r" +
                                   (folder / "missing.pwp").string() +
                                   "\rNo such file or directory");
    const gfx::Status noFolder = WritePartFile((folder / "no" / "m.pwp").string(), *table);
    EXPECT_FALSE(noFolder.ok());
    EXPECT_EQ(noFolder.error(), kWriteFailedText);
}

}  // namespace
}  // namespace files
