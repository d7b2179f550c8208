#pragma once
// What the editor does with the main window: its title, its position and client size kept in the
// settings file and restored onto one of the screens, and the client size its view follows.

#include <string_view>
#include <vector>

#include "app/core/view_size.h"
#include "framework/placeable_window.h"

namespace app {

class EditorWindow : public framework::PlaceableWindow {
  public:
    virtual bool SetTitle(std::string_view text) = 0;
    // The screens' rectangles, the primary screen first.
    virtual std::vector<framework::ScreenRect> Screens() const = 0;
    // The work area (the screen less the desktop's panels and docks) of the screen the window
    // stands on; by default the first screen's whole rectangle.
    virtual framework::ScreenRect WorkArea() const {
        const std::vector<framework::ScreenRect> screens = Screens();
        return screens.empty() ? framework::ScreenRect{} : screens.front();
    }
    // Whether the main window is the active one: the view takes no mouse input otherwise.
    virtual bool IsActive() const { return true; }
    // The client area now: its size in the cursor's (logical) pixels and in device pixels.
    virtual ClientSize Client() const = 0;
    // Sets the client area's logical size; the window keeps it at least its minimum.
    virtual void ResizeClient(ViewSize size) = 0;
};

}  // namespace app
