#include "files/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

#include "files/pose_line.h"

namespace files {
namespace {

std::string Component(float value) {
    std::string text;
    AppendComponent(text, value);
    return text;
}

TEST(NumberTextTest, ComponentsHaveSignSixDecimalsAndSuffix) {
    EXPECT_EQ(Component(0.5f), "+0.500000f");
    EXPECT_EQ(Component(-2.25f), "-2.250000f");
    EXPECT_EQ(Component(0.0f), "+0.000000f");
    EXPECT_EQ(Component(-0.0f), "-0.000000f");
    EXPECT_EQ(Component(1234.5f), "+1234.500000f");
    EXPECT_EQ(Component(0.0000004f), "+0.000000f");
    EXPECT_EQ(Component(0.0000006f), "+0.000001f");
    // The largest float has 39 integer digits: the longest component is 48 characters.
    EXPECT_EQ(Component(-std::numeric_limits<float>::max()),
              "-340282346638528859811704183484516925440.000000f");
    EXPECT_EQ(Component(-std::numeric_limits<float>::max()).size(), kMaxComponentChars);
}

TEST(NumberTextTest, DecimalPointIgnoresTheProcessLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    // scripts/install-deps.sh generates this locale.
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 is not installed";
    ASSERT_EQ(std::localeconv()->decimal_point, std::string(","));
    const std::string text = Component(0.5f);
    const auto parsed = ParseVectorLine("\tVEC3( +0.500000f, -1.250000f, +2.000000f),");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(text, "+0.500000f");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed->y, -1.25f);
}

TEST(NumberTextTest, IntegersAreWholeDecimalNumbers) {
    EXPECT_EQ(ParseInteger(" 2"), 2);
    EXPECT_EQ(ParseInteger("\t-1 "), -1);
    EXPECT_EQ(ParseInteger("+7"), 7);
    for (const char* bad : {"", " ", "-", "2x", "1 2", "0x10", "--1", "99999999999999999999"}) {
        EXPECT_FALSE(ParseInteger(bad).has_value()) << bad;
    }
}

TEST(NumberTextTest, NumberPrefixStopsAfterTheNumber) {
    const auto number = ParseNumberPrefix("-2.250000f, rest");
    ASSERT_TRUE(number.has_value());
    EXPECT_EQ(number->value, -2.25f);
    EXPECT_EQ(number->length, 9u);
    EXPECT_EQ(ParseNumberPrefix(".5f")->value, 0.5f);
    EXPECT_EQ(ParseNumberPrefix("1e3f")->value, 1000.0f);
    for (const char* bad : {"", "f", "+", "inf", "+inf", "nan", "-nan", "+-1", "1e39", "-1e39"}) {
        EXPECT_FALSE(ParseNumberPrefix(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace files
