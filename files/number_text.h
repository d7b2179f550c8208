#pragma once
// Number text of the document files: components written "%+1.6f" plus the letter f, the scale
// "%f" plus f, and the strict parses that take back what the writers produce. Formatting never
// depends on the process locale.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace files {

// Characters of the longest component: sign, the 39 integer digits of the largest float, the
// point, six decimals and the letter f.
inline constexpr std::size_t kMaxComponentChars = 48;

// Appends the value with an explicit sign and six decimals, then 'f' ("-2.250000f").
void AppendComponent(std::string& out, float value);
// Appends the value with six decimals and no forced sign, then 'f' ("1.000000f").
void AppendScale(std::string& out, float value);

bool IsBlank(char c);
std::string_view TrimBlanks(std::string_view text);

// A whole decimal integer with optional blanks around it and an optional sign; nothing else.
std::optional<long long> ParseInteger(std::string_view text);

struct NumberPrefix {
    float value;
    std::size_t length;  // characters taken from the front of the text
};
// The finite decimal number at the front of the text: optional sign, digits with an optional
// point and exponent. Infinities, NaNs, hexadecimal and out-of-range values are refused.
std::optional<NumberPrefix> ParseNumberPrefix(std::string_view text);

}  // namespace files
