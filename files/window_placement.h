#pragma once
// Each window's position kept in the settings file under its own section: "LEFT" and "TOP",
// the top-left corner of its outer rectangle in screen coordinates, written as " %d". The size
// is never stored; it stays what the window has.

#include <span>
#include <string_view>

#include "files/settings_file.h"
#include "framework/placeable_window.h"

namespace files {

struct WindowCorner {
    int left = 0, top = 0;
    friend bool operator==(const WindowCorner&, const WindowCorner&) = default;
};

// Where a window of the given size whose saved corner is `saved` goes. A window that overlaps
// some screen by at least one pixel stays where it was saved. One wholly off every screen
// (a screen since removed, a hand-edited file) is moved onto the nearest screen: the one with
// the smallest straight-line gap between its rectangle and the window's (the first listed on a
// tie), by the smallest move that puts the whole window inside it (its top-left corner when the
// window is larger than the screen). No screens at all leave the position unchanged.
WindowCorner KeepOnScreen(WindowCorner saved, int width, int height,
                          std::span<const framework::ScreenRect> screens);

// Reads LEFT and TOP of the section (default "0" each, converted as integers), brings the
// position onto a screen as above, and moves, raises and shows the window there.
void RestoreWindowPosition(framework::PlaceableWindow& window, const SettingsFile& settings,
                           std::string_view section,
                           std::span<const framework::ScreenRect> screens);

// Writes LEFT and then TOP of the window's outer rectangle into the section.
void SaveWindowPosition(const framework::PlaceableWindow& window, const SettingsFile& settings,
                        std::string_view section);

}  // namespace files
