#include "app/core/fixed_text.h"

#include <array>
#include <charconv>

namespace app {

std::string FixedText(double value, int decimals) {
    // Room for the 309 integer digits of the largest double, the sign, the point and decimals.
    std::array<char, 400> text;
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::fixed, decimals);
    return std::string(text.data(), result.ptr);
}

}  // namespace app
