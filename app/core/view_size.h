#pragma once
// The 3D view's size, which follows the main window's client area. The view draws at the
// window's device pixels (a back buffer of that size, the viewport over all of it, the projection
// at its aspect), while the cursor, picking and drags count in the window's logical pixels: the
// pointer ray takes the cursor as a fraction of the logical size, which lands on the same point
// of the picture at any device pixel ratio.

#include "framework/device/graphics_device.h"

namespace app {

struct ViewSize {
    int width = 0, height = 0;
    friend bool operator==(const ViewSize&, const ViewSize&) = default;
};

// The client area in the cursor's (logical) pixels and in device pixels.
struct ClientSize {
    ViewSize logical;
    ViewSize pixels;
};

// Resizes the device's back buffer to `pixels` and sets the camera's projection to its aspect;
// nothing when the back buffer already has that size. A size below one pixel (a minimised
// window) keeps the view as it is. True when the view has that size after.
bool FollowWindowSize(framework::GraphicsDevice& device, framework::ViewTransforms& camera,
                      ViewSize pixels);

}  // namespace app
