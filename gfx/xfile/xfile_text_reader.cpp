#include "gfx/xfile/xfile_text_reader.h"

#include <array>
#include <charconv>
#include <cstring>

#include "gfx/xfile/xfile_quote.h"

namespace gfx::xfile {

namespace {

constexpr bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Characters that end a name or a number, looked up by byte.
constexpr std::array<bool, 256> kDelimiters = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = IsSpace(static_cast<char>(c));
    for (const char c : std::string_view("{}[]<>;,\"#\0", 12)) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}();

bool IsDelimiter(char c) {
    return kDelimiters[static_cast<unsigned char>(c)];
}

// A whole number as std::from_chars reads one: decimal digits, none of them is an error, too
// many for 32 bits is out of range (the digits are still consumed).
std::from_chars_result ParseWhole(const char* first, const char* last, std::uint32_t& value) {
    const char* p = first;
    std::uint64_t v = 0;
    bool overflow = false;
    while (p < last && *p >= '0' && *p <= '9') {
        v = v * 10 + static_cast<std::uint64_t>(*p - '0');
        if (v > 0xFFFFFFFFu) {
            overflow = true;
            v = 0xFFFFFFFFu + std::uint64_t{1};  // stays above the limit without wrapping
        }
        ++p;
    }
    if (p == first) return {first, std::errc::invalid_argument};
    if (overflow) return {p, std::errc::result_out_of_range};
    value = static_cast<std::uint32_t>(v);
    return {p, std::errc{}};
}

std::from_chars_result ParseNumber(const char* first, const char* last, std::uint32_t& value) {
    return ParseWhole(first, last, value);
}

// The common spellings never get here: ReadFloat reads them inline, to the same value.
std::from_chars_result ParseNumber(const char* first, const char* last, float& value) {
    return std::from_chars(first, last, value);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool LooksNumeric(std::string_view word) {
    const char c = word.front();
    if (!((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.')) return false;
    const char* first = word.data() + (c == '+' ? 1 : 0);
    double value = 0;
    const auto [end, ec] = std::from_chars(first, word.data() + word.size(), value);
    return ec == std::errc{} && end == word.data() + word.size();
}

}  // namespace

bool TextReader::Fail(std::string message) {
    error_ = std::move(message);
    return false;
}

bool TextReader::SkipLineComment() {
    const char c = text_[pos_];
    if (c != '#' && !(c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/')) return false;
    const std::size_t eol = text_.find('\n', pos_);
    pos_ = eol == std::string_view::npos ? text_.size() : eol;
    return true;
}

void TextReader::SkipFiller() {
    for (;;) {
        SkipPlainFiller();
        if (pos_ >= text_.size() || !SkipLineComment()) return;
    }
}

std::string TextReader::Describe() const {
    if (pos_ >= text_.size()) return "the end of the file";
    std::size_t end = pos_ + 1;
    while (end < text_.size() && end - pos_ < 24 &&
           (!IsDelimiter(text_[end]) || text_[end] == '#')) {
        ++end;
    }
    return Quoted(text_.substr(pos_, end - pos_));
}

bool TextReader::Next(Token& token) {
    for (;;) {
        SkipFiller();
        if (pos_ >= text_.size()) {
            token = {TokenKind::kEnd, {}};
            return true;
        }
        const char c = text_[pos_];
        if (c == '{' || c == '}') {
            token = {c == '{' ? TokenKind::kOBrace : TokenKind::kCBrace, text_.substr(pos_, 1)};
            ++pos_;
            return true;
        }
        if (c == '"') {
            std::string_view value;
            if (!ReadString(value)) return false;
            token = {TokenKind::kString, value};
            return true;
        }
        if (c == '<') {
            if (!SkipGuid()) return false;
            continue;
        }
        std::size_t end = pos_;
        while (end < text_.size() && !IsDelimiter(text_[end]) &&
               !(text_[end] == '/' && end + 1 < text_.size() && text_[end + 1] == '/')) {
            ++end;
        }
        if (end == pos_) {
            // Brackets and stray punctuation.
            token = {TokenKind::kOther, text_.substr(pos_, 1)};
            ++pos_;
            return true;
        }
        const std::string_view word = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (EqualsIgnoreCase(word, "template")) {
            token = {TokenKind::kTemplate, word};
        } else if (LooksNumeric(word)) {
            token = {TokenKind::kNumber, word};
        } else {
            token = {TokenKind::kName, word};
        }
        return true;
    }
}

bool TextReader::CheckNumberEnd(const char* end, const char* what) {
    const std::size_t stop = static_cast<std::size_t>(end - text_.data());
    // '#' right after the digits is no comment but the NaN spelling "1.#QNAN0" of some
    // exporters; it is refused like any other malformed number.
    if (stop < text_.size() && (!IsDelimiter(text_[stop]) || text_[stop] == '#') &&
        text_[stop] != '/') {
        return Fail(std::string("malformed ") + what + " " + Describe() + " at " + Where());
    }
    pos_ = stop;
    return true;
}

template <typename T>
bool TextReader::ReadNumber(T& value, const char* what) {
    SkipFiller();
    const char* first = text_.data() + pos_;
    const char* last = text_.data() + text_.size();
    if (first < last && *first == '+') ++first;
    const auto [end, ec] = ParseNumber(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        return Fail(std::string(what) + " " + Describe() + " at " + Where() + " is out of range");
    }
    if (ec != std::errc{}) {
        return Fail(std::string("expected a ") + what + " at " + Where() + ", found " + Describe());
    }
    return CheckNumberEnd(end, what);
}

bool TextReader::ReadUIntSlow(std::uint32_t& value) {
    return ReadNumber(value, "whole number");
}

bool TextReader::ReadFloatSlow(float& value) {
    return ReadNumber(value, "number");
}

bool TextReader::ReadString(std::string_view& value) {
    SkipFiller();
    if (pos_ >= text_.size() || text_[pos_] != '"') {
        return Fail("expected a quoted string at " + Where() + ", found " + Describe());
    }
    const std::size_t close = text_.find('"', pos_ + 1);
    if (close == std::string_view::npos) {
        return Fail("string starting at " + Where() + " is not closed");
    }
    value = text_.substr(pos_ + 1, close - pos_ - 1);
    for (char c : value) line_ += c == '\n';
    pos_ = close + 1;
    return true;
}

bool TextReader::SkipGuid() {
    SkipFiller();
    if (pos_ >= text_.size() || text_[pos_] != '<') return true;
    const std::size_t close = text_.find('>', pos_);
    if (close == std::string_view::npos) {
        return Fail("<GUID> starting at " + Where() + " is not closed");
    }
    for (std::size_t i = pos_; i < close; ++i) line_ += text_[i] == '\n';
    pos_ = close + 1;
    return true;
}

bool TextReader::SkipObject() {
    const Mark start = GetMark();
    int depth = 1;
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == '\n') {
            ++line_;
        } else if (c == '"') {
            const std::size_t close = text_.find('"', pos_ + 1);
            if (close == std::string_view::npos) break;
            for (std::size_t i = pos_; i < close; ++i) line_ += text_[i] == '\n';
            pos_ = close;
        } else if (c == '#' || c == '/') {
            if (SkipLineComment()) continue;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                ++pos_;
                return true;
            }
        }
        ++pos_;
    }
    Seek(start);
    return Fail("object opened before " + Where() + " is not closed before the end of the file");
}

}  // namespace gfx::xfile
