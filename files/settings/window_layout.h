#pragma once
// Where the editor's six windows go when no position is stored for them: plain geometry, frame
// sizes and a work area in, frame corners out.
//
// The layout: the main window at the work area's top-left corner, the Part panel beside it, the
// Animation, Handling and Lighting panels in a row below the main window and the Material panel
// below the Part panel (right of the row, should the row reach under the Part panel), kLayoutGap
// pixels apart. Where the Material panel does not fit there it goes beside the Part panel, else at
// the end of the row. When none of that fits the work area without overlapping,
// the windows are placed one by one in the order main, Part, Animation, Handling, Lighting,
// Material, each wholly inside the work area where it can be, at the spot beside or below those
// already placed that overlaps the least: overlapping another panel counts before overlapping the
// main window (the panels stay above the main window, so such an overlap hides only part of the
// view), and among equal spots the highest, then the leftmost, wins. A window larger than the work
// area goes to its top-left corner.

#include <array>
#include <cstddef>
#include <optional>

#include "framework/placeable_window.h"

namespace files {

struct WindowCorner {
    int left = 0, top = 0;
    friend bool operator==(const WindowCorner&, const WindowCorner&) = default;
};

struct FrameSize {
    int width = 0, height = 0;
};

// The windows in the layout, in the order they are placed when the layout has to fall back.
enum class LayoutWindow : std::size_t { kMain, kPart, kAnimation, kHandling, kLighting, kMaterial };
inline constexpr std::size_t kLayoutWindows = 6;

// Indexed by LayoutWindow. A window of zero width or height is not there (a panel that was not
// made): it takes no room and its corner is the work area's.
using LayoutSizes = std::array<FrameSize, kLayoutWindows>;
using LayoutCorners = std::array<WindowCorner, kLayoutWindows>;

// The windows whose positions are stored: they stay where they are, and the others are placed
// around them (the preferred layout only when none of its windows covers a stored one).
using LayoutStored = std::array<std::optional<WindowCorner>, kLayoutWindows>;

inline constexpr int kLayoutGap = 8;

LayoutCorners FirstStartLayout(framework::ScreenRect workArea, const LayoutSizes& frames,
                               const LayoutStored& stored = {});

}  // namespace files
