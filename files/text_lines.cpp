#include "files/text_lines.h"

namespace files {

bool LineReader::Next() {
    if (rest_.empty()) {
        ++number_;
        return Fail("missing: the file ends here");
    }
    const std::size_t end = rest_.find('\n');
    std::string_view line = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    ++number_;
    line_ = line;
    if (line.size() > kMaxLineLength) {
        return Fail("longer than " + std::to_string(kMaxLineLength) + " bytes");
    }
    return true;
}

bool LineReader::Skip(int lines) {
    for (int i = 0; i < lines; ++i) {
        if (!Next()) return false;
    }
    return true;
}

bool LineReader::Fail(std::string_view reason) {
    fault_ = "line " + std::to_string(number_) + ": " + std::string(reason);
    return false;
}

bool IsBlankLine(std::string_view line) {
    return TrimBlanks(line).empty();
}

bool IsClosingLine(std::string_view line) {
    line = TrimBlanks(line);
    return !line.empty() && line.front() == '}';
}

bool ReadClosingLine(LineReader& lines) {
    if (!lines.Next()) return false;
    if (!IsClosingLine(lines.Line())) {
        return lines.Fail("expected the closing \"};\" of the array (more entries than expected?)");
    }
    return true;
}

std::optional<std::string_view> TextBetween(std::string_view line, char open, char close) {
    const std::size_t start = line.find(open);
    if (start == std::string_view::npos) return std::nullopt;
    const std::size_t end = line.find(close, start + 1);
    if (end == std::string_view::npos) return std::nullopt;
    return line.substr(start + 1, end - start - 1);
}

}  // namespace files
