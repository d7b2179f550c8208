#include "app/drawing/manipulator_drawing.h"

#include "app/core/editor_state.h"
#include "app/drawing/grid_drawing.h"
#include "gfx/math/math.h"
#include "scene/draw_primitives.h"

namespace app {

namespace {

using framework::TransformState;

void ResetWorld(framework::GraphicsDevice& device) {
    device.SetTransform(TransformState::kWorld, device.transforms.IdentityMatrix);
}

enum class Axis { kX, kY, kZ };

gfx::Colour AxisColour(Axis axis) {
    switch (axis) {
        case Axis::kX:
            return kAxisXColour;
        case Axis::kY:
            return kAxisYColour;
        case Axis::kZ:
            return kAxisZColour;
    }
    return 0;
}

gfx::Vec3 AxisOf(const ManipulatorFrame& frame, Axis axis) {
    switch (axis) {
        case Axis::kX:
            return frame.x;
        case Axis::kY:
            return frame.y;
        case Axis::kZ:
            return frame.z;
    }
    return {};
}

// The ring about an axis; the second axis fixes where the ring's segments start.
void DrawAxisRing(framework::GraphicsDevice& device, const ManipulatorFrame& frame, Axis axis) {
    const gfx::Vec3 second = axis == Axis::kY ? frame.z : frame.y;
    scene::DrawRing(device, frame.centre, AxisOf(frame, axis), second, frame.radius,
                    AxisColour(axis));
}

// Across the pivot, one radius to each side.
void DrawAxisLine(framework::GraphicsDevice& device, const ManipulatorFrame& frame, Axis axis) {
    const gfx::Vec3 reach = AxisOf(frame, axis) * frame.radius;
    scene::DrawLine(device, frame.centre + reach, frame.centre - reach, AxisColour(axis));
}

}  // namespace

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

void DrawManipulator(framework::GraphicsDevice& device, const ManipulatorFrame& frame,
                     int handleMode) {
    ResetWorld(device);
    scene::DrawFacingCircle(device, frame.centre, kPivotMarkerRadius, kMarkerColour);
    ResetWorld(device);
    if (handleMode == handle_mode::kIdle) {
        for (Axis axis : {Axis::kX, Axis::kY, Axis::kZ}) DrawAxisRing(device, frame, axis);
        ResetWorld(device);
        for (Axis axis : {Axis::kX, Axis::kY, Axis::kZ}) DrawAxisLine(device, frame, axis);
    }
    ResetWorld(device);
    constexpr Axis kAxes[] = {Axis::kX, Axis::kY, Axis::kZ};
    if (handleMode >= handle_mode::kDragMoveX && handleMode <= handle_mode::kDragMoveZ) {
        DrawAxisLine(device, frame, kAxes[handleMode - handle_mode::kDragMoveX]);
    } else if (handleMode >= handle_mode::kDragTurnX && handleMode <= handle_mode::kDragTurnZ) {
        const Axis axis = kAxes[handleMode - handle_mode::kDragTurnX];
        DrawAxisRing(device, frame, axis);
        ResetWorld(device);
        DrawAxisLine(device, frame, axis);
    }
}

void DrawLightMarker(framework::GraphicsDevice& device, gfx::Vec3 lightDirection) {
    const gfx::Vec3 marker = gfx::Vec3Normalize(lightDirection) * -kLightMarkerDistance;
    scene::DrawFacingCircle(device, marker, kLightMarkerRadius, kMarkerColour);
    ResetWorld(device);
    scene::DrawLine(device, {0.0f, 0.0f, 0.0f}, marker, kMarkerColour);
}

}  // namespace app
