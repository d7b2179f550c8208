#pragma once
// Screen text over the 3D view: five font slots, each a font and the height key that selects
// it. A text is drawn with the first font whose key matches, from its position to the bottom-
// right corner of the screen, with tabs expanded and '&' shown as itself. Texts are UTF-8.
//
// Glyphs are rasterised by FreeType on first use into a texture atlas per font and drawn as
// textured quads over everything, alpha blended, leaving the device's state as it was.
//
// Operations: Clear (ClearOverlayFonts), Create (CreateOverlayFont), Release
// (ReleaseOverlayFonts), Begin / End (BeginOverlayText / EndOverlayText), Draw
// (DrawOverlayText).

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "framework/device/graphics_device.h"
#include "gfx/font/font.h"
#include "gfx/math/math_types.h"

namespace scene {

class OverlayFont;

inline constexpr int kOverlayFontSlots = 5;
// The text format of every overlay text: expand tabs, no '&' prefixes.
inline constexpr std::uint32_t kOverlayTextFormat = gfx::kOverlayTextFlags;
static_assert(kOverlayTextFormat == 0x840);
// A face name is cut to this many bytes, as the 32-byte face field of a GDI font description
// holds.
inline constexpr std::size_t kMaxFaceNameBytes = 31;

// The font request of a slot: the face name cut to at most kMaxFaceNameBytes (at a character
// boundary, so the cut name stays valid UTF-8); height and weight unchanged.
gfx::FontDescription OverlayFontDescription(std::string_view face, std::int32_t height,
                                            std::int32_t weight);

class OverlayFonts {
  public:
    // Must not outlive the device.
    explicit OverlayFonts(framework::GraphicsDevice& device);
    OverlayFonts(const OverlayFonts&) = delete;
    OverlayFonts& operator=(const OverlayFonts&) = delete;
    // Releases the fonts' textures while the device still has its context, and removes the
    // device hooks when they were connected.
    ~OverlayFonts();

    // Has the device call Clear once it is created and Release before it goes.
    void ConnectDeviceHooks();

    // Empties all slots and sets their height keys to 0 without any GL call: called when a
    // device has just been created, any texture a slot still names belonged to an earlier
    // context.
    void Clear();
    // Releases the slot's font, creates the new one (an empty slot when that fails) and sets
    // the slot's height key to `height` either way. Slots outside 0-4 are ignored.
    void Create(int slot, std::string_view face, std::int32_t height, std::int32_t weight);
    // Releases every slot's font and texture; the height keys stay.
    void Release();

    // Bracket a batch of Draw calls: the batch's text is drawn by End, font by font.
    void Begin();
    void End();
    // Draws the text with the first font, slot 0 first, whose height key is `heightKey`;
    // nothing when none has. The first line's cell starts at (x, y); the text is clipped to the
    // rectangle from there to the screen's bottom-right corner. A NUL byte ends the text.
    void Draw(std::int32_t x, std::int32_t y, std::string_view text, std::int32_t heightKey,
              gfx::Colour colour);

    bool HasFont(int slot) const;
    // 0 for a slot outside 0-4.
    std::int32_t HeightKey(int slot) const;
    // The slot's font (for measuring); null when the slot is empty.
    gfx::Font* FontOf(int slot);

  private:
    framework::GraphicsDevice& device_;
    std::array<std::unique_ptr<OverlayFont>, kOverlayFontSlots> fonts_;
    std::array<std::int32_t, kOverlayFontSlots> heightKeys_{};
    bool hooksConnected_ = false;
};

}  // namespace scene
