#include "files/text_field.h"

#include <algorithm>

namespace files {

std::string_view FieldText(std::span<const char> field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    return {field.data(), static_cast<std::size_t>(end - field.begin())};
}

std::string TextFieldFault(std::string_view text, std::size_t maxBytes) {
    if (text.size() > maxBytes) {
        return "longer than " + std::to_string(maxBytes) + " bytes";
    }
    // A quote would end the text early, a line end would break the line layout, and a NUL
    // would cut the stored text short.
    if (text.find_first_of(std::string_view("\"\r\n\0", 4)) != std::string_view::npos) {
        return "contains a double quote, a line end character or a NUL byte";
    }
    return {};
}

std::string CommentTextFault(std::string_view text, std::size_t maxBytes) {
    if (text.size() > maxBytes) {
        return "longer than " + std::to_string(maxBytes) + " bytes";
    }
    if (text.find_first_of("\r\n") != std::string_view::npos) {
        return "contains a line end character";
    }
    return {};
}

}  // namespace files
