#pragma once
// Tokens and numbers of the text .x encoding. Separators between numbers (',' and ';') are
// optional and may repeat, as exporters write them in every combination; comments run from
// "//" or '#' to the end of the line; strings are quoted without escapes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/xfile/xfile_token.h"

namespace gfx::xfile {

class TextReader {
  public:
    // The least input one number can take, used to cap allocations sized by file counts.
    static constexpr std::size_t kMinNumberBytes = 1;

    explicit TextReader(std::string_view text) : text_(text) {}

    // The next structural token; separators and GUIDs are skipped. False on a malformed token.
    bool Next(Token& token);
    // Inline fast paths for the common spellings between plain separators ("123", "-0.25");
    // anything else (a comment, a sign, an exponent, a long mantissa, a malformed end) takes
    // the full reading, which gives the same value and every error.
    bool ReadUInt(std::uint32_t& value) {
        SkipPlainFiller();
        const char* const first = text_.data() + pos_;
        const char* const last = text_.data() + text_.size();
        // Nine digits cannot overflow 32 bits.
        const char* const stop = last - first > 9 ? first + 9 : last;
        const char* p = first;
        std::uint32_t whole = 0;
        while (p < stop && IsDigit(*p)) whole = whole * 10 + Digit(*p++);
        if (p == first || p == last || !IsPlainFiller(*p)) return ReadUIntSlow(value);
        value = whole;
        pos_ = static_cast<std::size_t>(p - text_.data());
        return true;
    }
    bool ReadFloat(float& value) {
        static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f,
                                            1e5f, 1e6f, 1e7f, 1e8f, 1e9f};
        SkipPlainFiller();
        const char* const last = text_.data() + text_.size();
        const char* p = text_.data() + pos_;
        const bool negative = p < last && *p == '-';
        if (negative) ++p;
        // At most nine digits, so that the mantissa fits; exact in float up to 2^24, as is
        // the power of ten, so one division rounds as the full reading does.
        std::uint32_t mantissa = 0;
        int digits = 0, decimals = 0;
        while (p < last && digits < 9 && IsDigit(*p)) {
            mantissa = mantissa * 10 + Digit(*p++);
            ++digits;
        }
        if (p < last && *p == '.') {
            ++p;
            while (p < last && digits < 9 && IsDigit(*p)) {
                mantissa = mantissa * 10 + Digit(*p++);
                ++digits;
                ++decimals;
            }
        }
        if (digits == 0 || mantissa > (1u << 24) || p == last || !IsPlainFiller(*p)) {
            return ReadFloatSlow(value);
        }
        const float magnitude = static_cast<float>(mantissa) / kPowers[decimals];
        value = negative ? -magnitude : magnitude;
        pos_ = static_cast<std::size_t>(p - text_.data());
        return true;
    }
    bool ReadString(std::string_view& value);
    // Skips the optional <GUID> that may follow an object's opening brace.
    bool SkipGuid();
    // Called after an opening brace: skips through the matching closing brace.
    bool SkipObject();

    Mark GetMark() const { return {pos_, line_}; }
    void Seek(Mark mark) {
        pos_ = mark.pos;
        line_ = mark.line;
    }
    std::size_t Remaining() const { return text_.size() - pos_; }
    std::string Where() const { return "line " + std::to_string(line_); }
    const std::string& Error() const { return error_; }

  private:
    // White space, ',' and ';': what may stand between numbers, comments aside.
    static constexpr std::array<bool, 256> kPlainFiller = [] {
        std::array<bool, 256> table{};
        for (const char c : std::string_view(" \t\n\r\f\v,;")) {
            table[static_cast<unsigned char>(c)] = true;
        }
        return table;
    }();
    static bool IsPlainFiller(char c) { return kPlainFiller[static_cast<unsigned char>(c)]; }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static std::uint32_t Digit(char c) { return static_cast<std::uint32_t>(c - '0'); }
    // Skips separators up to a comment or anything else, counting lines.
    void SkipPlainFiller() {
        const char* p = text_.data() + pos_;
        const char* const last = text_.data() + text_.size();
        std::uint32_t lines = 0;
        while (p < last && IsPlainFiller(*p)) lines += *p++ == '\n';
        line_ += lines;
        pos_ = static_cast<std::size_t>(p - text_.data());
    }
    bool ReadUIntSlow(std::uint32_t& value);
    bool ReadFloatSlow(float& value);
    void SkipFiller();
    bool SkipLineComment();
    bool Fail(std::string message);
    std::string Describe() const;
    bool CheckNumberEnd(const char* end, const char* what);
    // One number of the given kind ("whole number", "number"), an optional '+' allowed.
    template <typename T>
    bool ReadNumber(T& value, const char* what);

    std::string_view text_;
    std::size_t pos_ = 0;
    std::uint32_t line_ = 1;
    std::string error_;
};

}  // namespace gfx::xfile
