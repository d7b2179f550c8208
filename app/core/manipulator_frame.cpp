#include "app/core/manipulator_frame.h"

#include "gfx/math/math.h"

namespace app {

ManipulatorFrame PartManipulatorFrame(const editing::PartScene& scene, int part, bool local) {
    const scene::TransformNode& node = scene.node[part];
    ManipulatorFrame frame;
    frame.radius = node.BoundingSphere().radius;
    if (part > 0) frame.radius *= scene.node[0].scale;
    frame.centre = node.WorldPosition();
    if (local) {
        frame.x = gfx::Vec3Normalize(node.WorldAxisX());
        frame.y = gfx::Vec3Normalize(node.WorldAxisY());
        frame.z = gfx::Vec3Normalize(node.WorldAxisZ());
    }
    return frame;
}

gfx::Vec3 ManipulatorAxis(const ManipulatorFrame& frame, int axis) {
    return axis == 0 ? frame.x : axis == 1 ? frame.y : frame.z;
}

}  // namespace app
