#pragma once
// The window system's screens in the terms the rest of the program uses: rectangles for window
// placement, and display modes (size and pixel format) for the graphics device's adapters.

#include <vector>

#include "framework/device/gl_surface.h"
#include "framework/placeable_window.h"

class QScreen;
class QWindow;

namespace framework::qt {

// Every screen's rectangle in screen coordinates, the primary screen first.
std::vector<framework::ScreenRect> ScreenRects();

// The work area (QScreen::availableGeometry: the screen less the desktop's panels and docks) of
// the screen the window stands on.
framework::ScreenRect WorkAreaOf(const QWindow& window);

// The screens, the primary one first (adapter 0).
std::vector<QScreen*> ScreensPrimaryFirst();

// The pixel format code of a desktop of this colour depth: 24 and 32 bits are both stored as
// 32-bit pixels (X8R8G8B8), 16 is R5G6B5, 15 is X1R5G5B5; anything else is unknown.
std::uint32_t FormatOfDepth(int bitsPerPixel);

// The screen's current mode in device pixels.
framework::DisplayMode CurrentModeOf(const QScreen& screen);

}  // namespace framework::qt
