#pragma once
// The main window's client size kept in the settings file beside its position: "WIDTH" and
// "HEIGHT" in logical pixels, written as " %d" like "LEFT" and "TOP" (readers that know only
// those ignore them).

#include <span>
#include <string_view>

#include "files/settings/settings_file.h"
#include "framework/main_window_size.h"
#include "framework/placeable_window.h"
#include "gfx/base/result.h"

namespace files {

// WIDTH and HEIGHT of the section. Either missing, or either not a positive number, gives
// `fallback` for both: half a stored size is no size.
framework::WindowSize ReadClientSize(const SettingsFile& settings, std::string_view section,
                                     framework::WindowSize fallback);

// Writes WIDTH and then HEIGHT into the section.
gfx::Status WriteClientSize(const SettingsFile& settings, std::string_view section,
                            framework::WindowSize size);

// The screen a window whose frame's top-left corner stands at (left, top) is on: the first
// listed that holds the corner, else the first listed (the primary); an empty rectangle without
// screens.
framework::ScreenRect ScreenOfCorner(int left, int top,
                                     std::span<const framework::ScreenRect> screens);

// A stored client size brought within bounds: each side at most what the screen leaves once the
// frame's own width and height (`frame`, title bar and borders) are taken off, and at least the
// minimum, which wins on a screen too small for it. An empty screen limits nothing.
framework::WindowSize FitClientSize(framework::WindowSize stored, framework::WindowSize minimum,
                                    framework::WindowSize frame,
                                    const framework::ScreenRect& screen);

}  // namespace files
