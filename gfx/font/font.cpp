// Font objects: the FreeType face at the requested pixel size, glyph rasterisation with a
// per-font cache, and the text functions built on the layout and blending helpers.

#include "gfx/font/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "gfx/font/font_text.h"

namespace gfx {
namespace {

// Larger requests are refused rather than rasterised into huge bitmaps.
constexpr std::int64_t kMaxFontHeight = 1024;
// The character height used for a request of height 0.
constexpr std::int32_t kDefaultEmPixels = 12;

std::int32_t RoundToInt(double value) {
    return static_cast<std::int32_t>(std::lround(value));
}

// Copies FreeType's bitmap (8-bit gray, 1-bit mono or BGRA) into 8-bit coverage, top row first.
void CopyCoverage(const FT_Bitmap& bitmap, GlyphBitmap& glyph) {
    glyph.width = bitmap.width;
    glyph.rows = bitmap.rows;
    glyph.coverage.assign(std::size_t{glyph.width} * glyph.rows, 0);
    const std::size_t pitch = static_cast<std::size_t>(std::abs(bitmap.pitch));
    for (std::size_t y = 0; y < glyph.rows; ++y) {
        // A negative pitch stores the rows bottom to top.
        const std::size_t sourceRow = bitmap.pitch < 0 ? glyph.rows - 1 - y : y;
        const unsigned char* row = bitmap.buffer + sourceRow * pitch;
        std::uint8_t* out = glyph.coverage.data() + y * glyph.width;
        for (std::size_t x = 0; x < glyph.width; ++x) {
            switch (bitmap.pixel_mode) {
                case FT_PIXEL_MODE_GRAY:
                    out[x] = static_cast<std::uint8_t>(
                        bitmap.num_grays == 256 ? row[x] : row[x] * 255 / (bitmap.num_grays - 1));
                    break;
                case FT_PIXEL_MODE_MONO:
                    out[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
                    break;
                case FT_PIXEL_MODE_BGRA:
                    out[x] = row[4 * x + 3];
                    break;
                default:  // other modes are not produced for these load flags
                    break;
            }
        }
    }
}

}  // namespace

struct Font::State {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FontMatch match;
    std::int32_t lineHeight = 0, ascent = 0, averageCharWidth = 1;
    std::unordered_map<char32_t, GlyphBitmap> glyphs;

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }

    GlyphBitmap Rasterise(char32_t character) const {
        GlyphBitmap glyph;
        glyph.glyphIndex = FT_Get_Char_Index(face, character);
        // A synthetic bold needs the outline before rendering.
        const FT_Int32 loadFlags = match.embolden ? FT_LOAD_DEFAULT : FT_LOAD_RENDER;
        if (FT_Load_Glyph(face, glyph.glyphIndex, loadFlags) != 0) return glyph;
        FT_GlyphSlot slot = face->glyph;
        if (match.embolden) {
            FT_GlyphSlot_Embolden(slot);
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return glyph;
        }
        glyph.advance = static_cast<std::int32_t>((slot->advance.x + 32) >> 6);
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        CopyCoverage(slot->bitmap, glyph);
        return glyph;
    }
};

Font::Font(std::unique_ptr<State> state) : state_(std::move(state)) {}
Font::Font(Font&&) noexcept = default;
Font& Font::operator=(Font&&) noexcept = default;
Font::~Font() = default;

Result<Font> Font::Create(const FontDescription& description) {
    const std::int64_t height = description.height;
    if (height > kMaxFontHeight || height < -kMaxFontHeight) {
        return Error{"font height " + std::to_string(height) + " out of range"};
    }
    auto match = MatchFont(description.faceName, description.weight);
    if (!match) return Error{match.error()};

    auto state = std::make_unique<State>();
    state->match = std::move(*match);
    if (FT_Init_FreeType(&state->library) != 0) return Error{"FreeType: cannot initialise"};
    if (FT_New_Face(state->library, state->match.file.c_str(), state->match.index, &state->face) !=
        0) {
        return Error{"FreeType: cannot open " + state->match.file};
    }
    FT_Face face = state->face;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
        return Error{"font " + state->match.file + " is not scalable"};
    }

    // The cell (what a positive LOGFONT height measures) spans the Windows ascent and descent.
    const double unitsPerEm = face->units_per_EM;
    double cellAscent = face->ascender, cellDescent = -face->descender;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        cellAscent = os2->usWinAscent;
        cellDescent = os2->usWinDescent;
    }
    const double cell = cellAscent + cellDescent > 0 ? cellAscent + cellDescent : unitsPerEm;

    std::int32_t em = kDefaultEmPixels;
    if (height > 0) em = RoundToInt(static_cast<double>(height) * unitsPerEm / cell);
    if (height < 0) em = static_cast<std::int32_t>(-height);
    em = std::max(em, 1);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0) {
        return Error{"FreeType: cannot set size " + std::to_string(em)};
    }
    if (height > 0) {
        state->lineHeight = static_cast<std::int32_t>(height);
        state->ascent = RoundToInt(cellAscent * static_cast<double>(height) / cell);
    } else {
        state->lineHeight = std::max(1, RoundToInt(cell * em / unitsPerEm));
        state->ascent = RoundToInt(cellAscent * em / unitsPerEm);
    }
    Font font(std::move(state));
    const bool hasAverage = os2 && os2->xAvgCharWidth > 0;
    const std::int32_t average =
        hasAverage ? RoundToInt(os2->xAvgCharWidth * em / unitsPerEm) : font.Glyph(U'x').advance;
    font.state_->averageCharWidth = std::max(average, 1);
    return font;
}

const FontMatch& Font::Match() const {
    return state_->match;
}
std::int32_t Font::LineHeight() const {
    return state_->lineHeight;
}
std::int32_t Font::Ascent() const {
    return state_->ascent;
}
std::int32_t Font::AverageCharWidth() const {
    return state_->averageCharWidth;
}

const GlyphBitmap& Font::Glyph(char32_t character) {
    auto found = state_->glyphs.find(character);
    if (found == state_->glyphs.end()) {
        found = state_->glyphs.emplace(character, state_->Rasterise(character)).first;
    }
    return found->second;
}

TextSize Font::MeasureText(std::string_view utf8, std::uint32_t flags) {
    const TextLayout layout = LayOutText(DecodeUtf8(utf8), flags, 8 * AverageCharWidth(),
                                         [this](char32_t c) { return Glyph(c).advance; });
    return {layout.width, layout.lineCount * LineHeight()};
}

Status Font::DrawText(std::string_view utf8, std::span<std::uint32_t> target,
                      std::uint32_t targetWidth, std::uint32_t targetHeight, std::int32_t x,
                      std::int32_t y, Colour colour, std::uint32_t flags) {
    const TextRect rect{
        x, y, static_cast<std::int32_t>(std::min<std::uint32_t>(targetWidth, INT32_MAX)),
        static_cast<std::int32_t>(std::min<std::uint32_t>(targetHeight, INT32_MAX))};
    return DrawText(utf8, target, targetWidth, targetHeight, rect, colour, flags);
}

Status Font::DrawText(std::string_view utf8, std::span<std::uint32_t> target,
                      std::uint32_t targetWidth, std::uint32_t targetHeight, TextRect rect,
                      Colour colour, std::uint32_t flags) {
    if (target.size() < std::size_t{targetWidth} * targetHeight) {
        return Error{"text target holds " + std::to_string(target.size()) + " texels, " +
                     std::to_string(targetWidth) + " x " + std::to_string(targetHeight) +
                     " needed"};
    }
    ClippedTarget clipped{target,
                          targetWidth,
                          std::max<std::int64_t>(rect.left, 0),
                          std::max<std::int64_t>(rect.top, 0),
                          std::min<std::int64_t>(rect.right, targetWidth),
                          std::min<std::int64_t>(rect.bottom, targetHeight)};
    if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return {};

    const TextLayout layout = LayOutText(DecodeUtf8(utf8), flags, 8 * AverageCharWidth(),
                                         [this](char32_t c) { return Glyph(c).advance; });
    auto baseline = [&](std::int32_t line) {
        return std::int64_t{rect.top} + std::int64_t{line} * LineHeight() + Ascent();
    };
    for (const PlacedGlyph& placed : layout.glyphs) {
        const GlyphBitmap& glyph = Glyph(placed.character);
        BlendCoverage(clipped, glyph, std::int64_t{rect.left} + placed.x + glyph.left,
                      baseline(placed.line) - glyph.top, colour);
    }
    for (const UnderlineSpan& underline : layout.underlines) {
        BlendHorizontalLine(clipped, std::int64_t{rect.left} + underline.x,
                            baseline(underline.line) + 1, underline.width, colour);
    }
    return {};
}

}  // namespace gfx
