#include "app/drawing/manipulator_drawing.h"

#include "app/core/editor_state.h"
#include "app/drawing/grid_drawing.h"
#include "gfx/math/math.h"
#include "scene/draw_primitives.h"

namespace app {

namespace {

using framework::TransformState;

void ResetWorld(framework::GraphicsDevice& device) {
    device.SetTransform(TransformState::kWorld, gfx::MatrixIdentity());
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
void DrawAxisRing(framework::GraphicsDevice& device, const ManipulatorFrame& frame, Axis axis,
                  bool hovered = false) {
    const gfx::Vec3 second = axis == Axis::kY ? frame.z : frame.y;
    scene::DrawRing(device, frame.centre, AxisOf(frame, axis), second, frame.radius,
                    hovered ? kHoveredHandleColour : AxisColour(axis));
}

// Across the pivot, one radius to each side.
void DrawAxisLine(framework::GraphicsDevice& device, const ManipulatorFrame& frame, Axis axis,
                  bool hovered = false) {
    const gfx::Vec3 reach = AxisOf(frame, axis) * frame.radius;
    scene::DrawLine(device, frame.centre + reach, frame.centre - reach,
                    hovered ? kHoveredHandleColour : AxisColour(axis));
}

}  // namespace

void DrawManipulator(framework::GraphicsDevice& device, const ManipulatorFrame& frame,
                     HandleMode mode, DragPhase phase, HandleMode hovered) {
    ResetWorld(device);
    scene::DrawFacingCircle(device, frame.centre, kPivotMarkerRadius, kMarkerColour);
    ResetWorld(device);
    if (mode == HandleMode::kIdle) {
        const int hoveredAxis = HandleAxis(hovered);
        const bool ring = IsTurnMode(hovered);
        for (Axis axis : {Axis::kX, Axis::kY, Axis::kZ}) {
            DrawAxisRing(device, frame, axis, ring && static_cast<int>(axis) == hoveredAxis);
        }
        ResetWorld(device);
        for (Axis axis : {Axis::kX, Axis::kY, Axis::kZ}) {
            DrawAxisLine(device, frame, axis,
                         !ring && hoveredAxis >= 0 && static_cast<int>(axis) == hoveredAxis);
        }
    }
    ResetWorld(device);
    if (mode == HandleMode::kIdle || phase != DragPhase::kDragging) return;
    constexpr Axis kAxes[] = {Axis::kX, Axis::kY, Axis::kZ};
    const Axis axis = kAxes[HandleAxis(mode)];
    if (IsTurnMode(mode)) {
        DrawAxisRing(device, frame, axis);
        ResetWorld(device);
    }
    DrawAxisLine(device, frame, axis);
}

void DrawLightMarker(framework::GraphicsDevice& device, gfx::Vec3 lightDirection) {
    const gfx::Vec3 marker = gfx::Vec3Normalize(lightDirection) * -kLightMarkerDistance;
    scene::DrawFacingCircle(device, marker, kLightMarkerRadius, kMarkerColour);
    ResetWorld(device);
    scene::DrawLine(device, {0.0f, 0.0f, 0.0f}, marker, kMarkerColour);
}

}  // namespace app
