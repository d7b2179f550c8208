#pragma once
// Geometry the editor's frame steps share: the camera read out of the view matrix, the ray under
// the pointer, the closest point of a line, and the start-up framing of the camera.

#include "framework/device/graphics_device.h"
#include "framework/platform/input_source.h"
#include "gfx/math/math_types.h"
#include "scene/transform_node.h"

namespace app {

// The 3D view as the pointer sees it: the shared matrices and the client area's size in the
// cursor's pixels (whatever the view's size: the ray depends on the cursor's fraction of it).
struct ClientView {
    framework::ViewTransforms& transforms;
    int clientWidth = 0;
    int clientHeight = 0;
};

// The camera's axes and position in world space.
struct CameraFrame {
    gfx::Vec3 right, up, forward, eye;
};

// Reads the camera out of a left-handed look-at matrix: the axes are its first three columns,
// the eye is minus the translation row taken back through them.
CameraFrame CameraFromView(const gfx::Matrix& view);

struct Ray {
    gfx::Vec3 origin;
    gfx::Vec3 direction;  // length 1
};

// The ray from the camera through the cursor (client pixels) under the current view and
// projection. A client size below one pixel counts as one pixel.
Ray PointerRay(const ClientView& view, framework::PixelPoint cursor);

// The point of the unbounded line through a and b nearest p; a when a and b (almost) coincide.
gfx::Vec3 ClosestPointOnLine(gfx::Vec3 a, gfx::Vec3 b, gfx::Vec3 p);

// Sets ViewMatrix looking at the node's bounding sphere (centre c, radius r) from
// (0, c.y + r / 2, 4 r) with up (0, 1, 0). Without a node the sphere is centre (0, 1, 0) and
// radius 2: the eye stands at (0, 2, 8).
void FrameView(framework::ViewTransforms& transforms, const scene::TransformNode* node);

}  // namespace app
