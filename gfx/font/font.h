#pragma once
// Bitmap text for the overlay: fonts found by face name through fontconfig, rasterised by
// FreeType into 8-bit coverage, and UTF-8 text measured and drawn into ARGB texel buffers with
// the line, tab and '&' rules of the Windows DrawText function.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/base/result.h"
#include "gfx/math/math_types.h"

namespace gfx {

// Text format flags, with the values of the Windows DT_ constants.
inline constexpr std::uint32_t kTextExpandTabs = 0x40;  // DT_EXPANDTABS: tab stops every 8
                                                        // average character widths
inline constexpr std::uint32_t kTextNoPrefix = 0x800;   // DT_NOPREFIX: '&' is an ordinary
                                                        // character
inline constexpr std::uint32_t kOverlayTextFlags = kTextExpandTabs | kTextNoPrefix;

// A font request in the terms of a GDI LOGFONT.
struct FontDescription {
    std::string faceName;  // UTF-8; empty for the system's default face
    // > 0: cell height in pixels (ascent + descent); < 0: character (em) height in pixels;
    // 0: a default size.
    std::int32_t height = 0;
    // <= 0 (including values such as -256): normal; 1 to 1000 the usual weight scale
    // (400 normal, 700 bold); 600 and above are bold.
    std::int32_t weight = 0;
};

// The font file fontconfig chose for a request.
struct FontMatch {
    std::string family;  // the chosen font's first family name
    std::string file;
    int index = 0;          // face index inside the file
    bool embolden = false;  // bold was asked of a face without a bold style
};

// Loads the program's own font configuration: the system's fonts and rules plus our
// fonts.conf, which maps the Japanese Gothic face names to the IPA fonts. With a path, that
// file must load. Without, the first of "fonts.conf" beside the executable, the installed one
// (PREFIX/share/posewrighter/ for PREFIX/bin/) and the source tree's copy is used (none found:
// the system's rules alone). Font functions run this without a
// path on first use; calling it again replaces the configuration.
Status InitFontConfig(const std::string& confPath = {});
// The fonts.conf the current configuration loaded; empty when none.
std::string LoadedFontConfPath();

// Resolves a face name and weight to a font file through the program's configuration.
Result<FontMatch> MatchFont(std::string_view faceName, std::int32_t weight);

// One rasterised glyph, ready to copy into a texture.
struct GlyphBitmap {
    std::uint32_t glyphIndex = 0;  // 0: the font has no glyph for the character
    std::uint32_t width = 0, rows = 0;
    std::vector<std::uint8_t> coverage;  // rows * width bytes, top row first, 0 to 255
    std::int32_t left = 0;               // from the pen position right to the bitmap's left column
    std::int32_t top = 0;                // from the baseline up to the bitmap's top row
    std::int32_t advance = 0;            // horizontal pen movement in pixels
};

struct TextSize {
    std::int32_t width = 0, height = 0;
    friend bool operator==(const TextSize&, const TextSize&) = default;
};

// A rectangle in target pixels, right and bottom exclusive.
struct TextRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

class Font {
  public:
    static Result<Font> Create(const FontDescription& description);

    Font(Font&&) noexcept;
    Font& operator=(Font&&) noexcept;
    ~Font();

    const FontMatch& Match() const;
    std::int32_t LineHeight() const;  // distance between lines: the cell height
    std::int32_t Ascent() const;      // from the top of a line's cell down to its baseline
    std::int32_t AverageCharWidth() const;

    // The glyph of a Unicode character, rasterised on first use and kept.
    const GlyphBitmap& Glyph(char32_t character);

    // Size of the text's box: the widest line by the number of lines times the line height.
    // '\n', '\r' and "\r\n" end a line; invalid UTF-8 counts as U+FFFD.
    TextSize MeasureText(std::string_view utf8, std::uint32_t flags = kOverlayTextFlags);

    // Draws the text with its first line's cell at (x, y), blending each glyph's coverage
    // times the colour's alpha over the target; nothing is drawn left of x, above y or outside
    // the target. Fails only when the target span is smaller than width * height.
    Status DrawText(std::string_view utf8, std::span<std::uint32_t> target,
                    std::uint32_t targetWidth, std::uint32_t targetHeight, std::int32_t x,
                    std::int32_t y, Colour colour, std::uint32_t flags = kOverlayTextFlags);
    // As above with the text starting at the rectangle's top-left and clipped to it.
    Status DrawText(std::string_view utf8, std::span<std::uint32_t> target,
                    std::uint32_t targetWidth, std::uint32_t targetHeight, TextRect rect,
                    Colour colour, std::uint32_t flags = kOverlayTextFlags);

  private:
    struct State;
    explicit Font(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace gfx
