#pragma once
// Each window's position kept in the settings file under its own section: "LEFT" and "TOP",
// the top-left corner of its outer rectangle in screen coordinates, written as " %d". The size
// is never stored; it stays what the window has.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "files/settings/settings_file.h"
#include "files/settings/window_layout.h"
#include "framework/placeable_window.h"

namespace files {

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

// Whether the section holds a stored position (LEFT or TOP).
bool HasStoredPosition(const SettingsFile& settings, std::string_view section);

// With a position stored in the section, restores it as RestoreWindowPosition does and returns
// true; without one, shows and raises the window where it stands and returns false.
bool RestoreStoredPosition(framework::PlaceableWindow& window, const SettingsFile& settings,
                           std::string_view section,
                           std::span<const framework::ScreenRect> screens);

// A window of the start-up layout with its settings section; no window: not there.
struct StartWindow {
    framework::PlaceableWindow* window = nullptr;
    std::string section;
};
using StartWindows = std::array<StartWindow, kLayoutWindows>;  // indexed by LayoutWindow

// The first start's layout (FirstStartLayout) in the work area, from the windows' frames as they
// are now (shown, so with the window manager's frames): each window with no stored position is
// moved to its place there; windows with a stored position stay where they are.
void LayOutUnstoredWindows(const StartWindows& windows, const SettingsFile& settings,
                           framework::ScreenRect workArea);

// Writes LEFT and then TOP of the window's outer rectangle into the section.
void SaveWindowPosition(const framework::PlaceableWindow& window, const SettingsFile& settings,
                        std::string_view section);

}  // namespace files
