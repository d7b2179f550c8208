#include "app/commands/typed_numbers.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "app/core/fixed_text.h"

namespace app {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// from_chars takes no '+'; a sign before another sign is not a number.
std::string_view WithoutPlus(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') {
        return text.substr(1);
    }
    return text;
}

}  // namespace

std::string TrimmedDecimalText(float value, int decimals) {
    std::string text = FixedText(value, decimals);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

std::string ShortNumberText(float value) {
    std::string text = TrimmedDecimalText(value, 3);
    if (text == "-0") text = "0";
    return text;
}

std::optional<float> TypedNumber(std::string_view text) {
    const std::string_view number = WithoutPlus(Trimmed(text));
    float value = 0.0f;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (number.empty() || error != std::errc{} || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> TypedWholeNumber(std::string_view text, int minimum, int maximum) {
    const std::string_view number = WithoutPlus(Trimmed(text));
    int value = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (number.empty() || error != std::errc{} || stop != end || value < minimum ||
        value > maximum) {
        return std::nullopt;
    }
    return value;
}

}  // namespace app
