#pragma once
// A top-level window as its saved placement sees it, and the screens it may stand on. The
// windowing layer implements the interface for the main window and each tool panel.

namespace framework {

// Screen coordinates; right and bottom are exclusive.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

class PlaceableWindow {
  public:
    virtual ~PlaceableWindow() = default;
    // The window's outer rectangle (its frame included) in screen coordinates.
    virtual ScreenRect Frame() const = 0;
    // Moves the outer rectangle's top-left corner to (left, top) keeping the size, raises the
    // window to the top of the window order and shows it.
    virtual void MoveRaiseAndShow(int left, int top) = 0;
};

}  // namespace framework
