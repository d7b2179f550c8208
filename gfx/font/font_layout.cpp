// Line, tab and '&' prefix layout of text, independent of any rasteriser.

#include <algorithm>

#include "gfx/font/font_text.h"

namespace gfx {

TextLayout LayOutText(std::u32string_view text, std::uint32_t flags, std::int32_t tabWidth,
                      const std::function<std::int32_t(char32_t)>& advance) {
    TextLayout layout;
    if (text.empty()) return layout;
    const bool expandTabs = (flags & kTextExpandTabs) != 0;
    const bool prefixes = (flags & kTextNoPrefix) == 0;
    std::int32_t x = 0, line = 0;
    bool underlineNext = false;
    layout.lineCount = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
            layout.width = std::max(layout.width, x);
            x = 0;
            underlineNext = false;
            ++line;
            ++layout.lineCount;
            continue;
        }
        if (c == U'\t' && expandTabs) {
            x = (x / tabWidth + 1) * tabWidth;
            continue;
        }
        if (c == U'&' && prefixes) {
            // "&&" shows one ampersand; '&' before anything else marks it and is not shown.
            if (i + 1 >= text.size()) continue;
            if (text[i + 1] != U'&') {
                underlineNext = true;
                continue;
            }
            ++i;
        }
        const std::int32_t width = advance(c);
        layout.glyphs.push_back({c, x, line});
        if (underlineNext) layout.underlines.push_back({x, width, line});
        underlineNext = false;
        x += width;
    }
    layout.width = std::max(layout.width, x);
    return layout;
}

}  // namespace gfx
