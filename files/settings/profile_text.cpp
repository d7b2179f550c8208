#include "files/settings/profile_text.h"

#include <vector>

namespace files {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

struct Line {
    enum class Kind { kOther, kSection, kKey };
    std::size_t start = 0;       // first byte of the line
    std::size_t contentEnd = 0;  // end of the line without its "\n" or "\r\n"
    std::size_t end = 0;         // after the line break (== contentEnd on an unended last line)
    std::size_t equals = 0;      // position of the "=" of a key line
    Kind kind = Kind::kOther;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // a key line's value, trimmed
};

Line ClassifyLine(std::string_view text, std::size_t start, std::size_t contentEnd) {
    Line line;
    line.start = start;
    line.contentEnd = contentEnd;
    std::string_view content = text.substr(start, contentEnd - start);
    if (start == 0 && content.starts_with(kUtf8Bom)) content.remove_prefix(kUtf8Bom.size());
    const std::string_view trimmed = Trim(content);
    if (trimmed.empty() || trimmed.front() == ';') return line;
    if (trimmed.front() == '[') {
        const std::string_view inside = trimmed.substr(1);
        line.kind = Line::Kind::kSection;
        line.name = Trim(inside.substr(0, inside.find(']')));
        return line;
    }
    const auto equals = trimmed.find('=');
    if (equals == std::string_view::npos) return line;
    const std::string_view name = Trim(trimmed.substr(0, equals));
    if (name.empty()) return line;
    line.kind = Line::Kind::kKey;
    line.name = name;
    line.value = Trim(trimmed.substr(equals + 1));
    line.equals = static_cast<std::size_t>(trimmed.data() + equals - text.data());
    return line;
}

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto newline = text.find('\n', start);
        const std::size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
        std::size_t contentEnd = newline == std::string_view::npos ? text.size() : newline;
        if (contentEnd > start && text[contentEnd - 1] == '\r') --contentEnd;
        Line line = ClassifyLine(text, start, contentEnd);
        line.end = end;
        lines.push_back(line);
        start = end;
    }
    return lines;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The key line of key inside any section named section, or the end of the list.
std::size_t FindKeyLine(const std::vector<Line>& lines, std::string_view section,
                        std::string_view key) {
    // Names are kept trimmed in the file, so they are looked up trimmed: what is written under a
    // name with blanks around it reads back under the same name.
    section = Trim(section);
    key = Trim(key);
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == Line::Kind::kSection) {
            inSection = SameName(line.name, section);
        } else if (inSection && line.kind == Line::Kind::kKey && SameName(line.name, key)) {
            return i;
        }
    }
    return lines.size();
}

// The last line of a text that does not end with a line feed (a lone carriage return there is
// no line end: the reader splits at line feeds only).
bool Unended(std::string_view text, const Line& line) {
    return line.end == 0 || text[line.end - 1] != '\n';
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

gfx::Status CheckNames(std::string_view section, std::string_view key, std::string_view value) {
    if (Trim(section).empty() || HasLineBreak(section) || section.find(']') != section.npos) {
        return gfx::Error{"unusable settings section name \"" + std::string(section) + "\""};
    }
    if (Trim(key).empty() || HasLineBreak(key) || key.find('=') != key.npos ||
        Trim(key).front() == '[' || Trim(key).front() == ';') {
        return gfx::Error{"unusable settings key name \"" + std::string(key) + "\""};
    }
    if (HasLineBreak(value)) {
        return gfx::Error{"a settings value cannot hold a line break (key \"" + std::string(key) +
                          "\")"};
    }
    return gfx::Status::Ok();
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
    const std::vector<Line> lines = SplitLines(text);
    const std::size_t found = FindKeyLine(lines, section, key);
    if (found == lines.size()) return std::nullopt;
    return std::string(Unquote(lines[found].value));
}

gfx::Result<std::string> SetProfileValue(std::string_view text, std::string_view section,
                                         std::string_view key, std::string_view value) {
    if (gfx::Status names = CheckNames(section, key, value); !names) {
        return gfx::Error{names.error()};
    }
    const std::vector<Line> lines = SplitLines(text);
    std::string result;
    result.reserve(text.size() + section.size() + key.size() + value.size() + 8);

    const std::size_t keyLine = FindKeyLine(lines, section, key);
    if (keyLine != lines.size()) {
        const Line& line = lines[keyLine];
        result.append(text.substr(0, line.equals + 1));
        result.append(value);
        // A line that ended the text without a line feed gets a whole break: written lines are
        // complete.
        result.append(Unended(text, line)
                          ? kLineEnd
                          : text.substr(line.contentEnd, line.end - line.contentEnd));
        result.append(text.substr(line.end));
        return result;
    }

    const std::string newKeyLine =
        std::string(key) + "=" + std::string(value) + std::string(kLineEnd);
    // After the last non-blank line of the first section of that name.
    std::optional<std::size_t> after;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == Line::Kind::kSection) {
            if (after) break;
            inSection = SameName(line.name, section);
            if (inSection) after = i;
        } else if (inSection &&
                   !Trim(text.substr(line.start, line.contentEnd - line.start)).empty()) {
            after = i;
        }
    }
    if (after) {
        const Line& line = lines[*after];
        result.append(text.substr(0, Unended(text, line) ? line.contentEnd : line.end));
        if (Unended(text, line)) result.append(kLineEnd);
        result.append(newKeyLine);
        result.append(text.substr(line.end));
        return result;
    }

    result.append(text);
    if (!text.empty() && text.back() != '\n') result.append(kLineEnd);
    result.append("[").append(section).append("]").append(kLineEnd);
    result.append(newKeyLine);
    return result;
}

}  // namespace files
