#pragma once
// The headless surface: an OpenGL compatibility-profile context on Mesa's surfaceless EGL
// platform, which needs no display, drawing into a framebuffer object with a colour and a
// 24-bit depth buffer. One adapter, "Mesa surfaceless", showing one 640 x 480 X8R8G8B8 mode;
// the framebuffer starts at that size and may be resized.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/device/gl_surface.h"

namespace framework {

class EglSurface : public GlSurface {
  public:
    EglSurface() = default;
    EglSurface(const EglSurface&) = delete;
    EglSurface& operator=(const EglSurface&) = delete;
    ~EglSurface() override { Close(); }

    bool Open() override;
    int AdapterCount() override { return 1; }
    std::string AdapterName(int adapter) override;
    std::vector<DisplayMode> AdapterModes(int adapter) override;
    DisplayMode CurrentMode(int adapter) override;
    DepthStencilBits DepthBits() override { return {24, 0}; }
    bool CreateContext(int adapter, int width, int height, bool windowed) override;
    void MakeCurrent() override;
    bool ResizeDrawingArea(int width, int height) override;
    // Nothing is shown; waits until the frame is drawn.
    void SwapBuffers() override;
    std::uint32_t DrawFramebuffer() override { return framebuffer_; }
    void Close() override;

  private:
    void DestroyContext();
    // Storage of width x height for the colour and depth renderbuffers.
    void AllocateBuffers(int width, int height);

    void* display_ = nullptr;  // EGLDisplay
    void* context_ = nullptr;  // EGLContext
    std::uint32_t framebuffer_ = 0, colourBuffer_ = 0, depthBuffer_ = 0;
};

}  // namespace framework
