#pragma once
// The editor's one top-level window: a QWindow with an OpenGL surface whose client area starts at
// 640 x 480 and can be resized (a sizing border and a maximise box) down to a minimum, with a
// title bar, a close box and no minimise. It keeps whether it is active and how large its client
// area is, and turns a close request into the quit that ends the main loop; the window itself
// stays until the teardown destroys it.

#include <QSurfaceFormat>
#include <QWindow>
#include <functional>
#include <string_view>

#include "framework/main_window_size.h"
#include "framework/placeable_window.h"

namespace framework::qt {

inline constexpr int kClientWidth = framework::kFirstClientSize.width;
inline constexpr int kClientHeight = framework::kFirstClientSize.height;

// A compatibility-profile format (the fixed-function pipeline stays available), a depth buffer,
// double buffering and no wait for the vertical blank.
QSurfaceFormat MainWindowFormat();

class MainWindow : public QWindow, public framework::PlaceableWindow {
  public:
    MainWindow();
    ~MainWindow() override;

    // Creates the native window (not shown). False when the window system refuses it.
    bool CreateMainWindow();
    // Destroys the native window; nothing happens when it was never created.
    void DestroyMainWindow();
    bool SetMainWindowTitle(std::string_view text);

    // Drains the pending window-system events. False when the quit posted by a close request
    // has been taken; the quit is then used up.
    bool PumpMessages();
    // Sends the close request, handled at once: the next PumpMessages reports the quit.
    int CloseMainWindow();

    // The client size follows resizes only while this says the device runs windowed (the
    // full-screen window's size is not the client area the editor draws).
    void SetWindowedQuery(std::function<bool()> windowed) { windowed_ = std::move(windowed); }
    // Called when the window system asks for the window's picture again (a box or a panel
    // moved off it, for one) while no frame is being drawn, as during a modal box: the last
    // frame is shown again instead of what was over it.
    void SetExposeHandler(std::function<void()> handler) { exposed_ = std::move(handler); }

    int WindowActive() const { return windowActive_; }
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    // The client area in device pixels: its logical size times the device pixel ratio, rounded
    // as Qt rounds the window's own buffer.
    int ClientPixelWidth() const;
    int ClientPixelHeight() const;
    // Sets the client area's logical size (kept at least the minimum).
    void ResizeClient(int width, int height);

    // framework::PlaceableWindow
    framework::ScreenRect Frame() const override;
    void MoveRaiseAndShow(int left, int top) override;

  protected:
    bool event(QEvent* event) override;

  private:
    void WatchScreen(QScreen* screen);
    // Handles events until the window is on the screen (its frame then known), for 3 s at most.
    void WaitUntilExposed();

    std::function<bool()> windowed_;
    std::function<void()> exposed_;
    int windowActive_ = 0;
    int clientWidth_ = kClientWidth;
    int clientHeight_ = kClientHeight;
    bool quitPosted_ = false;
};

}  // namespace framework::qt
