#pragma once
// Line-by-line reading of the document files, which are read by line position. Lines end in
// CR LF as written, or in LF alone; a last line without a line end still counts.

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "files/number_text.h"
#include "model/limits.h"

namespace files {

inline constexpr std::string_view kLineEnd = "\r\n";

inline constexpr std::size_t kMaxNameBytes = model::kNameField - 1;
inline constexpr std::size_t kMaxPathBytes = model::kPathField - 1;

// The longest lines the writers produce, line end excluded. Every line a writer can produce
// must read back, so the reader's limit is the longest of them.
inline constexpr std::size_t kLongestQuaternionEntry =
    std::string_view("\tQUAT( ").size() + 4 * kMaxComponentChars +
    3 * std::string_view(", ").size() + std::string_view("),\t// ").size() + kMaxNameBytes;
inline constexpr std::size_t kLongestVectorEntry =
    std::string_view("\tVEC3( ").size() + 3 * kMaxComponentChars +
    2 * std::string_view(", ").size() + std::string_view("),\t\t// ").size() + kMaxNameBytes;
inline constexpr std::size_t kLongestPathEntry =
    std::string_view("\t\"").size() + kMaxPathBytes + std::string_view("\",").size();
inline constexpr std::size_t kLongestFrameCountLine =
    std::string_view("short g_frameCount[16] = {").size() + model::kMaxKeys * 6 +
    (model::kMaxKeys - 1) * std::string_view(", ").size() + std::string_view("};").size();
inline constexpr std::size_t kMaxLineLength = std::max(
    {kLongestQuaternionEntry, kLongestVectorEntry, kLongestPathEntry, kLongestFrameCountLine});

class LineReader {
  public:
    explicit LineReader(std::string_view text) : rest_(text) {}

    // Steps to the next line, its line end removed. False, with the fault recorded, at the end
    // of the text or when the line is longer than kMaxLineLength.
    bool Next();
    // Steps over lines whose content is not used (blank lines, declarations).
    bool Skip(int lines);
    bool AtEnd() const { return rest_.empty(); }
    std::string_view Line() const { return line_; }
    int LineNumber() const { return number_; }

    // Records why reading stopped, with the current line number. Returns false.
    bool Fail(std::string_view reason);
    const std::string& Fault() const { return fault_; }

  private:
    std::string_view rest_;
    std::string_view line_;
    int number_ = 0;
    std::string fault_;
};

bool IsBlankLine(std::string_view line);
// The line that ends an array: "};" (blanks before it and anything after the brace allowed).
bool IsClosingLine(std::string_view line);
// Reads the next line, which must close an array.
bool ReadClosingLine(LineReader& lines);

// The text between the first `open` and the first `close` after it; nothing when either is
// missing.
std::optional<std::string_view> TextBetween(std::string_view line, char open, char close);

}  // namespace files
