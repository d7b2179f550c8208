// Stored names shown as text: UTF-8 as it is, anything else decoded as Shift-JIS.

#include "framework/display_text.h"

#include <gtest/gtest.h>

#include <string>

namespace framework {
namespace {

TEST(DisplayTextTest, Utf8StaysAndShiftJisIsDecoded) {
    const struct {
        std::string bytes, shown;
    } cases[] = {
        {"body.x", "body.x"},
        {"頭パーツ.x", "頭パーツ.x"},
        {"\x93\xaa\x83\x70\x81\x5b\x83\x63.x", "頭パーツ.x"},
        // Half-width katakana are one byte each; 0x5C inside a character is not a backslash.
        {"\xb1\xb2.x", "ｱｲ.x"},
        {"C:\\\x95\x5c\\a.x", "C:\\表\\a.x"},
        // What neither takes is shown replaced, the rest decoded.
        {"\x93\xaa\xff", "頭\xef\xbf\xbd"},
        {"a\x81", "a\xef\xbf\xbd"},
        // An overlong UTF-8 form is not UTF-8: it reads as two half-width katakana.
        {"\xc0\xaf", "ﾀｯ"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DisplayText(c.bytes), c.shown) << c.shown;
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));
    EXPECT_FALSE(IsValidUtf8("\xf4\x90\x80\x80"));
    EXPECT_TRUE(IsValidUtf8("\xf0\x9f\x98\x80"));
}

TEST(DisplayTextTest, StrictConversionsBothWays) {
    EXPECT_EQ(ShiftJisFromUtf8("頭パーツ.x"), "\x93\xaa\x83\x70\x81\x5b\x83\x63.x");
    EXPECT_EQ(Utf8FromShiftJis("\x93\xaa\x83\x70\x81\x5b\x83\x63.x"), "頭パーツ.x");
    EXPECT_EQ(ShiftJisFromUtf8("ascii"), "ascii");
    EXPECT_EQ(ShiftJisFromUtf8("\xf0\x9f\x98\x80"), std::nullopt);  // no Shift-JIS form
    EXPECT_EQ(Utf8FromShiftJis("\x93"), std::nullopt);              // cut in half
}

}  // namespace
}  // namespace framework
