#pragma once
// Names and paths are kept as the bytes their files hold: UTF-8 from this program and today's
// tools, Shift-JIS (code page 932) from the Windows tools many of our users' files come from.
// Whatever is shown (panels, notices, the command-line tool, the log, exported names) is UTF-8,
// decoded here through the C library's converter.

#include <optional>
#include <string>
#include <string_view>

namespace framework {

bool IsValidUtf8(std::string_view bytes);
bool IsAscii(std::string_view bytes);

// The bytes as readable text: as they are when they are valid UTF-8, otherwise decoded as
// Shift-JIS (CP932). A byte that neither takes shows as U+FFFD.
std::string DisplayText(std::string_view bytes);

// Strict conversions for finding a file stored one way and named the other: nothing when the
// bytes cannot be converted whole.
std::optional<std::string> Utf8FromShiftJis(std::string_view bytes);
std::optional<std::string> ShiftJisFromUtf8(std::string_view text);

}  // namespace framework
