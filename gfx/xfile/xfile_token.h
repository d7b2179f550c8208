#pragma once
// What the two .x readers (text and binary) hand the object parser: structural tokens, and a
// position that can be returned to when a reference loads an earlier object again.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace gfx::xfile {

enum class TokenKind {
    kName,    // identifier or object name
    kString,  // quoted string (text) or string record (binary), without quotes
    kOBrace,
    kCBrace,
    kTemplate,  // the "template" keyword
    kNumber,    // numeric data where structure was expected
    kOther,     // any other punctuation or keyword
    kEnd,       // end of the data
};

// `text` points into the file's bytes and stays valid for the whole load.
struct Token {
    TokenKind kind = TokenKind::kEnd;
    std::string_view text;
};

// A reader position; taken only between objects, where no number list is open.
struct Mark {
    std::size_t pos = 0;
    std::uint32_t line = 1;
};

}  // namespace gfx::xfile
