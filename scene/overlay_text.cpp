#include "scene/overlay_text.h"

#include <algorithm>
#include <string>

#include "scene/overlay_text_font.h"

namespace scene {

namespace {

bool ValidSlot(int slot) {
    return slot >= 0 && slot < kOverlayFontSlots;
}

std::size_t Index(int slot) {
    return static_cast<std::size_t>(slot);
}

}  // namespace

gfx::FontDescription OverlayFontDescription(std::string_view face, std::int32_t height,
                                            std::int32_t weight) {
    std::size_t length = std::min(face.size(), kMaxFaceNameBytes);
    // Never keep the first part of a multi-byte character.
    while (length > 0 && length < face.size() &&
           (static_cast<unsigned char>(face[length]) & 0xC0) == 0x80) {
        --length;
    }
    return {std::string(face.substr(0, length)), height, weight};
}

OverlayFonts::OverlayFonts(framework::GraphicsDevice& device) : device_(device) {}

OverlayFonts::~OverlayFonts() {
    if (hooksConnected_) device_.SetResourceHooks({}, {});
    if (device_.IsCreated()) Release();
}

void OverlayFonts::ConnectDeviceHooks() {
    device_.SetResourceHooks([this] { Clear(); }, [this] { Release(); });
    hooksConnected_ = true;
}

void OverlayFonts::Clear() {
    for (auto& font : fonts_) font.reset();
    heightKeys_.fill(0);
}

void OverlayFonts::Create(int slot, std::string_view face, std::int32_t height,
                          std::int32_t weight) {
    if (!ValidSlot(slot)) return;
    auto& font = fonts_[Index(slot)];
    if (font && device_.IsCreated()) font->ReleaseTexture();
    font.reset();
    if (auto created = gfx::Font::Create(OverlayFontDescription(face, height, weight))) {
        font = std::make_unique<OverlayFont>(std::move(created).value());
    }
    heightKeys_[Index(slot)] = height;
}

void OverlayFonts::Release() {
    for (auto& font : fonts_) {
        if (font && device_.IsCreated()) font->ReleaseTexture();
        font.reset();
    }
}

void OverlayFonts::Begin() {
    for (auto& font : fonts_) {
        if (font) font->Begin();
    }
}

void OverlayFonts::End() {
    // Without a device there is nothing queued to draw; an empty screen drops it unseen.
    const bool created = device_.IsCreated();
    for (auto& font : fonts_) {
        if (font) {
            font->End(created ? device_.ScreenWidth() : 0, created ? device_.ScreenHeight() : 0);
        }
    }
}

void OverlayFonts::Draw(std::int32_t x, std::int32_t y, std::string_view text,
                        std::int32_t heightKey, gfx::Colour colour) {
    if (!device_.IsCreated()) return;
    text = text.substr(0, text.find('\0'));  // the text ends at its terminator
    for (int slot = 0; slot < kOverlayFontSlots; ++slot) {
        auto& font = fonts_[Index(slot)];
        if (!font || heightKeys_[Index(slot)] != heightKey) continue;
        const std::int32_t width = device_.ScreenWidth(), height = device_.ScreenHeight();
        font->Draw(text, {x, y, width, height}, colour, width, height);
        return;
    }
}

bool OverlayFonts::HasFont(int slot) const {
    return ValidSlot(slot) && fonts_[Index(slot)] != nullptr;
}

std::int32_t OverlayFonts::HeightKey(int slot) const {
    return ValidSlot(slot) ? heightKeys_[Index(slot)] : 0;
}

gfx::Font* OverlayFonts::FontOf(int slot) {
    return HasFont(slot) ? &fonts_[Index(slot)]->font() : nullptr;
}

}  // namespace scene
