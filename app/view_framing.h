#pragma once
// The camera framing used at start-up: the view looks at a sphere from in front and a little
// above, far enough back to show all of it.

#include "framework/graphics_device.h"
#include "scene/transform_node.h"

namespace app {

// Sets ViewMatrix looking at the node's bounding sphere (centre c, radius r) from
// (0, c.y + r / 2, 4 r) with up (0, 1, 0). Without a node the sphere is centre (0, 1, 0) and
// radius 2: the eye stands at (0, 2, 8).
void FrameView(framework::ViewTransforms& transforms, const scene::TransformNode* node);

}  // namespace app
