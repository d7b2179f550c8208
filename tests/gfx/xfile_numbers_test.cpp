// The text reader's numbers against std::from_chars: the reader's own parsing of the common
// spellings must give the same floats, to the bit, and the same errors.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "gfx/xfile/xfile_text_reader.h"

namespace gfx::xfile {
namespace {

std::string RandomNumber(std::mt19937& random, bool allowFraction) {
    std::string text;
    if (allowFraction && random() % 3 == 0) text += '-';
    const auto digits = [&](unsigned most) {
        const unsigned count = static_cast<unsigned>(random() % (most + 1));
        for (unsigned i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
    };
    digits(random() % 4 == 0 ? 12 : 4);
    if (allowFraction && random() % 4 != 0) {
        text += '.';
        digits(random() % 4 == 0 ? 14 : 7);
    }
    if (allowFraction && random() % 8 == 0) {
        text += random() % 2 == 0 ? "e" : "E-";
        digits(2);
    }
    return text;
}

TEST(XFileNumbersTest, FloatsMatchFromChars) {
    std::mt19937 random(42);
    int parsed = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::string text = RandomNumber(random, true);
        float expected = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
        const bool wholeWord = ec == std::errc{} && end == text.data() + text.size();

        // Read at the file's end and with more text after it.
        for (const char* rest : {";", ";}}}}}}}}}"}) {
            const std::string input = text + rest;  // the reader keeps a view of it
            TextReader reader(input);
            float value = 0;
            const bool ok = reader.ReadFloat(value);
            ASSERT_EQ(ok, wholeWord) << '"' << text << "\" " << reader.Error();
            if (!ok) continue;
            ++parsed;
            ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0)
                << '"' << text << "\" read as " << value << ", not " << expected;
        }
    }
    EXPECT_GT(parsed, 200000);
}

TEST(XFileNumbersTest, WholeNumbersMatchFromChars) {
    std::mt19937 random(7);
    for (int i = 0; i < 50000; ++i) {
        const std::string text = RandomNumber(random, false);
        std::uint32_t expected = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
        for (const char* rest : {",", ",}}}}}}}}}"}) {
            const std::string input = text + rest;
            TextReader reader(input);
            std::uint32_t value = 0;
            const bool ok = reader.ReadUInt(value);
            ASSERT_EQ(ok, ec == std::errc{} && end == text.data() + text.size()) << text;
            if (ok) {
                ASSERT_EQ(value, expected) << text;
            }
            if (ec == std::errc::result_out_of_range) {
                EXPECT_NE(reader.Error().find("out of range"), std::string::npos) << text;
            }
        }
    }
}

TEST(XFileNumbersTest, EdgeSpellings) {
    struct Case {
        const char* text;
        bool ok;
        float value;
    };
    const Case cases[] = {
        {"16777216;", true, 16777216.0f},
        {"16777217;", true, 16777216.0f},
        {"-0.000000;", true, -0.0f},
        {".5;", true, 0.5f},
        {"5.;", true, 5.0f},
        {"+2.5;", true, 2.5f},
        {"0.1234567891;", true, 0.1234567891f},
        {"1.5.3;", false, 0},
        {"-;", false, 0},
        {".;", false, 0},
        {"1.#QNAN0;", false, 0},
        {"4294967296.25;", true, 4294967296.25f},
    };
    for (const Case& c : cases) {
        TextReader reader(c.text);
        float value = 1;
        EXPECT_EQ(reader.ReadFloat(value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
            EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
        }
    }
    TextReader huge("4294967296,");
    std::uint32_t whole = 0;
    EXPECT_FALSE(huge.ReadUInt(whole));
    TextReader largest("4294967295,");
    ASSERT_TRUE(largest.ReadUInt(whole));
    EXPECT_EQ(whole, 4294967295u);
}

// Numbers between every kind of separator, as exporters lay them out (CR LF, comments, a brace
// or the file's end right after a number): each value read, and the line count kept for the
// error that follows.
TEST(XFileNumbersTest, SeparatorsCommentsAndEndsKeepValuesAndLines) {
    const std::string text =
        "1;2,,3\r\n"
        "  4 // four\n"
        "5 # five\n"
        "6;;\t7\f8\v9}\n"
        "10";
    TextReader reader(text);
    for (std::uint32_t expected = 1; expected <= 9; ++expected) {
        std::uint32_t value = 0;
        ASSERT_TRUE(reader.ReadUInt(value)) << expected << ": " << reader.Error();
        EXPECT_EQ(value, expected);
    }
    Token brace;
    ASSERT_TRUE(reader.Next(brace));
    EXPECT_EQ(brace.kind, TokenKind::kCBrace);
    float last = 0;
    ASSERT_TRUE(reader.ReadFloat(last));
    EXPECT_EQ(last, 10.0f);
    EXPECT_EQ(reader.Where(), "line 5");
    EXPECT_FALSE(reader.ReadFloat(last));
    EXPECT_EQ(reader.Error(), "expected a number at line 5, found the end of the file");
}

}  // namespace
}  // namespace gfx::xfile
