#pragma once
// Tokens and numbers of the text .x encoding. Separators between numbers (',' and ';') are
// optional and may repeat, as exporters write them in every combination; comments run from
// "//" or '#' to the end of the line; strings are quoted without escapes.

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
    bool ReadUInt(std::uint32_t& value);
    bool ReadFloat(float& value);
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
