#pragma once
// The text of a private profile file ("[section]" headers, "key=value" lines), read and edited
// as bytes the way the platform's profile functions do: section and key names match without
// regard to ASCII case, values are trimmed of surrounding blanks, and an edit changes only the
// line it concerns, keeping every other byte (comments and lines of unknown form too). New lines
// end with CR LF. Text bytes are kept as they are (UTF-8).

#include <optional>
#include <string>
#include <string_view>

#include "gfx/base/result.h"

namespace files {

// The value of key in section: the text after the first "=", trimmed of blanks and of one
// matching pair of surrounding quotes. Nullopt when the section or the key is missing. Where a
// section or key appears more than once, the first key line found wins.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// The text with key in section set to value. An existing key line keeps everything up to its
// "=" and gets the new value; a missing key goes after the last non-blank line of its section;
// a missing section is appended at the end of the text. Fails for names or values that the
// format cannot hold (empty names, line breaks, "]" in a section name, "=" in a key).
gfx::Result<std::string> SetProfileValue(std::string_view text, std::string_view section,
                                         std::string_view key, std::string_view value);

}  // namespace files
