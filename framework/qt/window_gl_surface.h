#pragma once
// The graphics device's surface on the main window: an OpenGL compatibility-profile context made
// with Qt on the window's native surface. The screens are the adapters; Qt cannot switch display
// modes, so each screen lists its current mode and a 640 x 480 mode in the same format, and the
// device always runs windowed.
//
// The device draws into a back buffer of its own, which the editor keeps at the window's size in
// device pixels (the logical size times the device pixel ratio), so that each presented frame is
// copied onto the window pixel for pixel. Only while the two differ (a resize not yet followed)
// is the frame scaled onto the whole window.

#include <QOpenGLContext>
#include <memory>

#include "framework/device/gl_surface.h"
#include "framework/qt/main_window.h"

namespace framework::qt {

class WindowGlSurface : public framework::GlSurface {
  public:
    explicit WindowGlSurface(MainWindow& window);
    ~WindowGlSurface() override;

    bool Open() override;
    int AdapterCount() override;
    std::string AdapterName(int adapter) override;
    std::vector<framework::DisplayMode> AdapterModes(int adapter) override;
    framework::DisplayMode CurrentMode(int adapter) override;
    framework::DepthStencilBits DepthBits() override;
    bool CreateContext(int adapter, int width, int height, bool windowed) override;
    void MakeCurrent() override;
    bool ResizeDrawingArea(int width, int height) override;
    void SwapBuffers() override;
    std::uint32_t DrawFramebuffer() override;
    void Close() override;

  private:
    QScreen* Screen(int adapter) const;
    bool CreateBackBuffer(int width, int height);
    void DestroyBackBuffer();
    // Storage of width x height for the colour and depth renderbuffers.
    void AllocateBuffers(int width, int height);

    MainWindow& window_;
    std::unique_ptr<QOpenGLContext> context_;
    bool open_ = false;
    int backWidth_ = 0, backHeight_ = 0;
    std::uint32_t framebuffer_ = 0, colourBuffer_ = 0, depthBuffer_ = 0;
};

}  // namespace framework::qt
