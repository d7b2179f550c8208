#pragma once
// Numbers as the panels' boxes show them and as the user types them, with a '.' point whatever
// the locale.

#include <optional>
#include <string>
#include <string_view>

namespace app {

// `value` with at most `decimals` decimals, without trailing zeros or a trailing point
// (1 -> "1", 0.25 -> "0.25").
std::string TrimmedDecimalText(float value, int decimals);

// `value` with at most three decimals and no trailing zeros: "1.5", "-0.125", "30" ("0" for a
// value that rounds to -0).
std::string ShortNumberText(float value);

// The finite number `text` holds, spaces around it allowed ("1.5", " -2 ", "+3", "1e2"); none
// for anything else: no digits, other characters after the number, a ',' point, a value that
// is infinite, not a number or too large for a float.
std::optional<float> TypedNumber(std::string_view text);

// The whole number `text` holds when it lies within minimum .. maximum, spaces around it
// allowed; none for anything else ("1.5", "", "x", out of range).
std::optional<int> TypedWholeNumber(std::string_view text, int minimum, int maximum);

}  // namespace app
