#pragma once
// Names and paths as the documents hold them: bytes in a fixed NUL-terminated field, written
// between double quotes and in comments without any escaping, so the same rules decide what a
// writer may write and what a reader may take.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace files {

// The bytes before the field's first NUL; the whole field when it has none (which no writer
// accepts, since the terminator does not fit).
std::string_view FieldText(std::span<const char> field);

// Empty when the text can be stored in a field of maxBytes + 1 and written on one line between
// double quotes; otherwise what is wrong with it.
std::string TextFieldFault(std::string_view text, std::size_t maxBytes);

// Empty when the text can be written at the end of a "//" comment line: at most maxBytes and
// no line end, which would end the comment and the line early. A double quote is harmless
// there. Otherwise what is wrong with it.
std::string CommentTextFault(std::string_view text, std::size_t maxBytes);

}  // namespace files
