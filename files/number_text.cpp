#include "files/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace files {

namespace {

// std::to_chars formats as printf does in the "C" locale, whatever locale the process runs in.
void AppendFixed6(std::string& out, float value) {
    std::array<char, 64> text;
    const auto [end, error] =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 6);
    if (error != std::errc{}) return;  // cannot happen: 64 characters hold any float
    out.append(text.data(), end);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

void AppendComponent(std::string& out, float value) {
    if (!std::signbit(value)) out += '+';
    AppendFixed6(out, value);
    out += 'f';
}

void AppendScale(std::string& out, float value) {
    AppendFixed6(out, value);
    out += 'f';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<long long> ParseInteger(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !IsDigit(text.front())) return std::nullopt;
    long long magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return negative ? -magnitude : magnitude;
}

std::optional<NumberPrefix> ParseNumberPrefix(std::string_view text) {
    std::size_t start = 0;
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        start = 1;
    }
    // A digit or point must follow, which keeps out "inf", "nan" and a second sign.
    if (start == text.size() || !(IsDigit(text[start]) || text[start] == '.')) {
        return std::nullopt;
    }
    float magnitude = 0;
    const auto [end, error] = std::from_chars(text.data() + start, text.data() + text.size(),
                                              magnitude, std::chars_format::general);
    if (error != std::errc{} || !std::isfinite(magnitude)) return std::nullopt;
    // The sign is applied to the magnitude so that "-0.000000" keeps its minus.
    return NumberPrefix{negative ? -magnitude : magnitude,
                        static_cast<std::size_t>(end - text.data())};
}

}  // namespace files
