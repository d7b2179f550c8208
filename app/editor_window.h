#pragma once
// What the editor does with the main window: its title, and its position kept in the settings
// file, restored onto one of the screens.

#include <string_view>
#include <vector>

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
};

}  // namespace app
