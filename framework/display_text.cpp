#include "framework/display_text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace framework {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) ::iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input; a sequence the converter refuses is replaced (when `replace`
    // is given) or ends the conversion with nothing.
    std::optional<std::string> Convert(std::string_view input,
                                       std::optional<std::string_view> replace) {
        if (!ok()) return std::nullopt;
        std::string out;
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[256];
        while (inLeft > 0) {
            char* next = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t done = ::iconv(cd_, &in, &inLeft, &next, &outLeft);
            out.append(buffer, static_cast<std::size_t>(next - buffer));
            if (done != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ (a sequence it cannot take) or EINVAL (cut short at the end).
            if (!replace) return std::nullopt;
            out += *replace;
            ++in;
            --inLeft;
            ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

  private:
    iconv_t cd_;
};

}  // namespace

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        unsigned min = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            min = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            min = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + length > bytes.size()) return false;
        unsigned code = lead & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and code points beyond Unicode are not UTF-8.
        if (code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
        i += length;
    }
    return true;
}

std::string DisplayText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    Converter fromShiftJis("UTF-8", "CP932");
    if (auto text = fromShiftJis.Convert(bytes, kReplacement)) return *text;
    // Without the converter: what is not UTF-8 is shown replaced, byte by byte.
    std::string text;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80) {
            text.push_back(c);
        } else {
            text += kReplacement;
        }
    }
    return text;
}

std::optional<std::string> Utf8FromShiftJis(std::string_view bytes) {
    if (IsAscii(bytes)) return std::string(bytes);
    return Converter("UTF-8", "CP932").Convert(bytes, std::nullopt);
}

std::optional<std::string> ShiftJisFromUtf8(std::string_view text) {
    if (IsAscii(text)) return std::string(text);
    if (!IsValidUtf8(text)) return std::nullopt;
    return Converter("CP932", "UTF-8").Convert(text, std::nullopt);
}

}  // namespace framework
