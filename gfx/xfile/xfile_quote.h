#pragma once
// File text shown in error messages. Messages are UTF-8; names and stray bytes in a file need
// not be (Shift-JIS names, binary garbage), so they are cleaned before they are quoted.

#include <string>
#include <string_view>

namespace gfx::xfile {

// `text` with printable ASCII and well-formed UTF-8 sequences kept and every other byte,
// control characters included, shown as '?'.
std::string PrintableText(std::string_view text);

// PrintableText in single quotes.
std::string Quoted(std::string_view text);

}  // namespace gfx::xfile
