#pragma once
// The framework's components on the desktop: the Qt main window, the graphics device on the
// window's OpenGL surface, input from Qt's events and the system's game controllers, and the
// sound and music services.

#include <string_view>
#include <vector>

#include "app/core/application.h"
#include "app/core/editor_window.h"
#include "app/core/session.h"
#include "framework/device/graphics_device.h"
#include "framework/platform/input_state.h"
#include "framework/qt/main_window.h"
#include "framework/qt/qt_input_source.h"
#include "framework/qt/window_gl_surface.h"
#include "scene/overlay_text.h"

namespace app {

// The editor's view of the Qt main window.
class DesktopEditorWindow : public EditorWindow {
  public:
    explicit DesktopEditorWindow(framework::qt::MainWindow& window) : window_(window) {}
    bool SetTitle(std::string_view text) override { return window_.SetMainWindowTitle(text); }
    std::vector<framework::ScreenRect> Screens() const override;
    framework::ScreenRect WorkArea() const override;
    framework::ScreenRect Frame() const override { return window_.Frame(); }
    bool IsActive() const override { return window_.WindowActive() != 0; }
    void MoveRaiseAndShow(int left, int top) override { window_.MoveRaiseAndShow(left, top); }
    ClientSize Client() const override {
        return {{window_.ClientWidth(), window_.ClientHeight()},
                {window_.ClientPixelWidth(), window_.ClientPixelHeight()}};
    }
    void ResizeClient(ViewSize size) override { window_.ResizeClient(size.width, size.height); }

  private:
    framework::qt::MainWindow& window_;
};

class DesktopFramework : public FrameworkComponents {
  public:
    explicit DesktopFramework(Session& session);

    bool InitDebugStream() override;
    bool CreateMainWindow() override;
    bool InitGraphics() override;
    bool InitInput() override;
    bool InitSound() override;
    bool InitMusic() override;
    void FreeMusic() override;
    void FreeSound() override;
    void FreeInput() override;
    void FreeGraphics() override;
    void DestroyMainWindow() override;
    bool PumpMessages() override;
    const framework::InputState& PollInput() override;

    // Forgets the keys and buttons of the input record (after a box that swallowed them).
    void ClearInput() { framework::ClearInputState(input_); }

    framework::qt::MainWindow& window() { return window_; }
    framework::GraphicsDevice& device() { return device_; }
    scene::OverlayFonts& overlay() { return overlay_; }

  private:
    Session& session_;
    framework::qt::MainWindow window_;
    framework::qt::WindowGlSurface surface_{window_};
    framework::GraphicsDevice device_{surface_};
    scene::OverlayFonts overlay_{device_};  // goes before the device does
    framework::qt::QtInputSource events_{window_};
    // The input record each frame is handed.
    framework::InputState input_;
};

}  // namespace app
