#pragma once
// The editor's start-up, per-frame step and shutdown as the application spine runs them. The
// frame draws the 3D view (app/drawing/frame_rendering.h) and presents it.

#include <string_view>

#include "app/core/application.h"
#include "app/core/editor_look.h"
#include "app/core/editor_window.h"
#include "app/core/session.h"
#include "app/core/tool_panels.h"
#include "files/settings/settings_file.h"
#include "framework/device/graphics_device.h"
#include "gfx/math/math_types.h"
#include "scene/overlay_text.h"

namespace app {

class Editor : public EditorSteps {
  public:
    Editor(Session& session, framework::GraphicsDevice& device, scene::OverlayFonts& overlay,
           EditorWindow& window, files::SettingsFile settings)
        : session_(session),
          device_(device),
          overlay_(overlay),
          window_(window),
          settings_(std::move(settings)) {}

    // The tool panels' windows, shown at start-up and closed at shutdown; none (nullptr, the
    // default) runs the editor without them. Not owned.
    void SetPanelWindows(PanelWindows* panels) { panels_ = panels; }

    // Titles the window, sets the camera's projection and initial view, makes the pan plane,
    // restores the window's client size and position, shows the panels, lays out the windows that
    // have no stored position (files::FirstStartLayout), creates the overlay font, resets the pose
    // clipboards, the rebuild pose and the animation keys, and sets the stored light.
    void Startup() override;
    // Fits the view to the window's client area, takes the input, tells the panels that the
    // frame's steps have run, draws the view and presents it.
    void Frame(const framework::InputState& input) override;
    // Closes the panels, then stores the window's position and client size.
    void Shutdown() override;
    // Sets the window's title when it differs from the one shown.
    void ShowTitle(const std::string& title) override;

    // The frame up to presenting it: the back buffer then holds the finished view.
    void DrawView();

  private:
    std::string shownTitle_;
    // The stored client size (the first start's without one), fitted to the screen the stored
    // position is on, given to the window.
    void RestoreClientSize();

    Session& session_;
    framework::GraphicsDevice& device_;
    scene::OverlayFonts& overlay_;
    EditorWindow& window_;
    files::SettingsFile settings_;
    PanelWindows* panels_ = nullptr;
};

}  // namespace app
