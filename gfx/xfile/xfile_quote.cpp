#include "gfx/xfile/xfile_quote.h"

#include <cstddef>
#include <cstdint>

namespace gfx::xfile {

namespace {

bool IsContinuation(std::uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence starting at text[i], or 0. Overlong forms,
// surrogates and code points above U+10FFFF are not well formed.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<std::uint8_t>(text[i + k]); };
    const std::uint8_t lead = at(0);
    std::size_t length = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - i < length || at(1) < low || at(1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (!IsContinuation(at(k))) return 0;
    }
    return length;
}

}  // namespace

std::string PrintableText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte >= 0x20 && byte < 0x7F) {
            shown += text[i++];
            continue;
        }
        const std::size_t length = byte >= 0x80 ? Utf8SequenceLength(text, i) : 0;
        if (length == 0) {
            shown += '?';
            ++i;
        } else {
            shown.append(text.substr(i, length));
            i += length;
        }
    }
    return shown;
}

std::string Quoted(std::string_view text) {
    return "'" + PrintableText(text) + "'";
}

}  // namespace gfx::xfile
