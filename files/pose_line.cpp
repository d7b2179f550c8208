#include "files/pose_line.h"

#include <array>
#include <cstddef>

#include "files/number_text.h"

namespace files {

namespace {

template <std::size_t N>
void AppendComponents(std::string& out, std::string_view keyword,
                      const std::array<float, N>& values) {
    out += keyword;
    out += "( ";
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) out += ", ";
        AppendComponent(out, values[i]);
    }
    out += ')';
}

void SkipBlanks(std::string_view& text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
}

// Reads "( c, ..., c)," into values; an empty string on success, else the reason.
template <std::size_t N>
std::string ParseComponents(std::string_view line, std::array<float, N>& values) {
    const std::size_t open = line.find('(');
    if (open == std::string_view::npos) return "no '(' before the numbers";
    std::string_view rest = line.substr(open + 1);
    for (std::size_t i = 0; i < N; ++i) {
        const auto ordinal = [i] { return "number " + std::to_string(i + 1); };
        SkipBlanks(rest);
        const auto number = ParseNumberPrefix(rest);
        if (!number) return ordinal() + " is missing or not a finite decimal number";
        values[i] = number->value;
        rest.remove_prefix(number->length);
        if (rest.empty() || (rest.front() != 'f' && rest.front() != 'F')) {
            return ordinal() + " is not followed by the letter f";
        }
        rest.remove_prefix(1);
        SkipBlanks(rest);
        const char separator = i + 1 < N ? ',' : ')';
        if (rest.empty() || rest.front() != separator) {
            return ordinal() + " is not followed by '" + separator + "' (expected " +
                   std::to_string(N) + " numbers)";
        }
        rest.remove_prefix(1);
    }
    SkipBlanks(rest);
    if (rest.empty() || rest.front() != ',') return "no ',' after the closing ')'";
    return {};
}

}  // namespace

void AppendVectorText(std::string& out, const gfx::Vec3& v) {
    AppendComponents<3>(out, "VEC3", {v.x, v.y, v.z});
}

void AppendQuaternionText(std::string& out, const gfx::Quat& q) {
    AppendComponents<4>(out, "QUAT", {q.x, q.y, q.z, q.w});
}

gfx::Result<gfx::Vec3> ParseVectorLine(std::string_view line) {
    std::array<float, 3> c{};
    if (std::string fault = ParseComponents(line, c); !fault.empty()) {
        return gfx::Error{"vector entry: " + fault};
    }
    return gfx::Vec3{c[0], c[1], c[2]};
}

gfx::Result<gfx::Quat> ParseQuaternionLine(std::string_view line) {
    std::array<float, 4> c{};
    if (std::string fault = ParseComponents(line, c); !fault.empty()) {
        return gfx::Error{"quaternion entry: " + fault};
    }
    return gfx::Quat{c[0], c[1], c[2], c[3]};
}

}  // namespace files
