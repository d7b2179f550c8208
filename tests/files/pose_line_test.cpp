#include "files/pose_line.h"

#include <gtest/gtest.h>

#include <string>

namespace files {
namespace {

TEST(PoseLineTest, WrittenEntriesReadBack) {
    std::string text = "\t";
    AppendVectorText(text, {1.5f, 0.0f, -0.25f});
    EXPECT_EQ(text, "\tVEC3( +1.500000f, +0.000000f, -0.250000f)");
    const auto v = ParseVectorLine(text + ",\t// arm.x");
    ASSERT_TRUE(v.ok()) << v.error();
    EXPECT_EQ(*v, (gfx::Vec3{1.5f, 0.0f, -0.25f}));

    text = "\t";
    AppendQuaternionText(text, {0.0f, 0.5f, -0.5f, 1.0f});
    EXPECT_EQ(text, "\tQUAT( +0.000000f, +0.500000f, -0.500000f, +1.000000f)");
    const auto q = ParseQuaternionLine(text + ",\t// body.x");
    ASSERT_TRUE(q.ok()) << q.error();
    EXPECT_EQ(*q, (gfx::Quat{0.0f, 0.5f, -0.5f, 1.0f}));
}

TEST(PoseLineTest, HandEditedBlanksAndCapitalSuffixAreAccepted) {
    const auto v = ParseVectorLine("VEC3(1.5f,-2F ,  3.25f ) ,");
    ASSERT_TRUE(v.ok()) << v.error();
    EXPECT_EQ(*v, (gfx::Vec3{1.5f, -2.0f, 3.25f}));
    // The comment is never looked at, whatever it holds.
    EXPECT_TRUE(ParseVectorLine("\tVEC3( +0f, +0f, +0f),\t// a, b) \"c\"").ok());
}

TEST(PoseLineTest, LinesNotOfTheWrittenFormFail) {
    const char* badVectors[] = {
        "",
        "};",
        "\tVEC3 +1.000000f, +2.000000f, +3.000000f,",  // no parenthesis
        "\tVEC3( 1.5, 0, 0),",                         // no f suffix
        "\tVEC3( +1.0f, +2.0f),",                      // two numbers
        "\tVEC3( +1.0f, +2.0f, +3.0f, +4.0f),",        // four numbers
        "\tVEC3( +1.0f, +2.0f, +3.0f)",                // no comma after ')'
        "\tVEC3( +1.0f, +2.0f, +3.0f",                 // cut off
        "\tVEC3( +1.0f, , +3.0f),",                    // empty number
        "\tVEC3( +1.0xf, +2.0f, +3.0f),",              // garbage after a number
        "\tVEC3( +inff, +2.0f, +3.0f),",               // infinity
        "\tVEC3( +1.0f, nanf, +3.0f),",                // not a number
        "\tVEC3( +1.0f, +2.0f, -1e39f),",              // beyond the float range
    };
    for (const char* line : badVectors) {
        EXPECT_FALSE(ParseVectorLine(line).ok()) << line;
    }
    EXPECT_FALSE(ParseQuaternionLine("\tQUAT( +0f, +0f, +0f),").ok());
    EXPECT_FALSE(ParseQuaternionLine("\tQUAT( +0f, +0f, +0f, +1f, +0f),").ok());
}

}  // namespace
}  // namespace files
