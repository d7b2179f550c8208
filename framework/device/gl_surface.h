#pragma once
// What the graphics device draws through: a platform's OpenGL connection, its adapters (screens)
// and display modes, and one compatibility-profile context with a drawing area that starts at
// 640 x 480 and may be resized to follow its window.
// The device (framework/graphics_device.h) calls these in this order: Open, the adapter and
// mode queries, DepthBits, CreateContext; then MakeCurrent / SwapBuffers per frame; Close last.
// Implementations: the headless EGL surface (framework/egl_surface.h) and the Qt window.

#include <cstdint>
#include <string>
#include <vector>

namespace framework {

// Pixel formats in the classic 3D interface's codes; the device's log lines name them.
inline constexpr std::uint32_t kFormatUnknown = 0;
inline constexpr std::uint32_t kFormatR8G8B8 = 20;
inline constexpr std::uint32_t kFormatA8R8G8B8 = 21;
inline constexpr std::uint32_t kFormatX8R8G8B8 = 22;
inline constexpr std::uint32_t kFormatR5G6B5 = 23;
inline constexpr std::uint32_t kFormatX1R5G5B5 = 24;

struct DisplayMode {
    int width = 0, height = 0;
    std::uint32_t format = kFormatUnknown;
    friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};

// Bits of the depth and stencil buffer that CreateContext gives the drawing area.
struct DepthStencilBits {
    int depth = 0, stencil = 0;
};

class GlSurface {
  public:
    virtual ~GlSurface() = default;

    // Connects to the platform's OpenGL. False when the platform has none.
    virtual bool Open() = 0;

    // Adapters are the platform's screens, at least one once Open succeeded. Adapter 0 is the
    // primary one.
    virtual int AdapterCount() = 0;
    virtual std::string AdapterName(int adapter) = 0;
    // The modes the adapter can show. A platform that cannot switch modes lists the current mode
    // and a 640 x 480 mode in the current format (a window of that size always fits), which
    // keeps the device windowed.
    virtual std::vector<DisplayMode> AdapterModes(int adapter) = 0;
    virtual DisplayMode CurrentMode(int adapter) = 0;
    virtual DepthStencilBits DepthBits() = 0;

    // Creates the compatibility-profile context (fixed-function pipeline available) whose drawing
    // area is width x height with a depth buffer, on the given adapter, and makes it current.
    // windowed = show the window first. False on failure (nothing is left current).
    virtual bool CreateContext(int adapter, int width, int height, bool windowed) = 0;
    virtual void MakeCurrent() = 0;
    // Gives the drawing area (colour and depth) a new size in device pixels; its contents are
    // then undefined. False, keeping the old size, without a context or for a size below 1.
    virtual bool ResizeDrawingArea(int width, int height) = 0;
    // Presents the frame drawn since the last call (no vertical sync wait).
    virtual void SwapBuffers() = 0;
    // The framebuffer object the device draws into: 0 = the window's own back buffer.
    virtual std::uint32_t DrawFramebuffer() = 0;

    // Destroys the context and the platform connection. Safe after a partial or failed start and
    // when called twice.
    virtual void Close() = 0;
};

}  // namespace framework
