#include "app/steps/manipulator_drags.h"

#include <array>
#include <cstddef>

#include "app/core/stored_light.h"
#include "gfx/math/math.h"
#include "scene/draw_primitives.h"

namespace app {

namespace {

constexpr int kLeftButton = 0;

gfx::Vec3 Row(const gfx::Matrix& matrix, int row) {
    return {matrix.m[row][0], matrix.m[row][1], matrix.m[row][2]};
}

void SetRow(gfx::Matrix& matrix, int row, gfx::Vec3 v) {
    matrix.m[row][0] = v.x;
    matrix.m[row][1] = v.y;
    matrix.m[row][2] = v.z;
}

// The world axes of the drags, X, Y and Z.
constexpr std::array<gfx::Vec3, 3> kWorldAxes{
    {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}}};

void MovePart(Session& session, int axis, bool local, framework::PixelPoint cursor) {
    const EditorState& state = session.editor;
    scene::TransformNode& node = session.model.scene.node[state.SelectedPart];
    float dist = static_cast<float>(cursor.x - state.DragAnchor.x) * kPartDragPerPixel;
    if (local) {
        const gfx::Vec3 direction = gfx::Vec3Normalize(Row(node.local, axis));
        // Below the root, the stored position is in the parent's units.
        if (state.SelectedPart > 0) dist = dist * (1.0f / session.model.parts.scale);
        SetRow(node.local, 3, state.DragStartPosition + dist * direction);
    } else {
        node.SetWorldPosition(state.DragStartPosition +
                              dist * kWorldAxes[static_cast<std::size_t>(axis)]);
    }
}

void TurnPart(Session& session, int axis, bool local, framework::PixelPoint cursor) {
    EditorState& state = session.editor;
    scene::TransformNode& node = session.model.scene.node[state.SelectedPart];
    const float angle = static_cast<float>(state.DragAnchor.x - cursor.x) * kPartDragPerPixel;
    if (local) {
        if (axis == 0) node.TurnLocalX(angle);
        if (axis == 1) node.TurnLocalY(angle);
        if (axis == 2) node.TurnLocalZ(angle);
    } else {
        // The world axis in the part's own frame: a turn about it, composed on the local side,
        // turns the part about the world axis through its pivot.
        const gfx::Vec3 w = kWorldAxes[static_cast<std::size_t>(axis)];
        const gfx::Vec3 inPart{gfx::Vec3Dot(w, node.WorldAxisX()),
                               gfx::Vec3Dot(w, node.WorldAxisY()),
                               gfx::Vec3Dot(w, node.WorldAxisZ())};
        node.TurnLocalAxis(inPart, angle);
    }
    state.DragAnchor = cursor;
}

}  // namespace

bool DragInProgress(const EditorState& state) {
    return state.HandleMode > handle_mode::kIdle || state.LightDragMode > light_drag_mode::kIdle;
}

bool CancelDragOnEscape(Session& session, framework::GraphicsDevice& device,
                        const framework::InputState& input) {
    EditorState& state = session.editor;
    if (!input.escapeDown || input.previousEscapeDown || !DragInProgress(state)) return false;
    // The first frame of a drag recorded the pose at the press: taking that entry back puts
    // the part where it was and leaves no step to undo.
    if (state.HandleMode >= handle_mode::kDragging) session.model.PopUndo();
    if (state.LightDragMode >= light_drag_mode::kDragging) {
        const float power = LightPowerAt(session.panels.lightPowerPosition);
        scene::SetDirectionalLight(device, state.LightDragStartDirection, power, power, power,
                                   0.0f);
    }
    state.HandleMode = handle_mode::kIdle;
    state.LightDragMode = light_drag_mode::kIdle;
    return true;
}

void ArmPartDrag(EditorState& state, std::int16_t mode) {
    if (state.SelectedPart >= 0) state.HandleMode = mode;
}

void DragPart(Session& session, const framework::InputState& input) {
    EditorState& state = session.editor;
    if (state.HandleMode <= handle_mode::kIdle) return;
    const framework::PixelPoint cursor = input.screenCursor;
    const model::PartIndex part = state.SelectedPart;
    if (framework::MouseButtonState(input, kLeftButton) == 0 || part < 0 ||
        part >= model::kMaxParts) {
        state.HandleMode = handle_mode::kIdle;
        return;
    }
    const bool local = session.panels.handlingLocal;
    if (state.HandleMode < handle_mode::kDragging) {
        state.HandleMode = static_cast<std::int16_t>(state.HandleMode + handle_mode::kDragging);
        state.DragAnchor = cursor;
        const scene::TransformNode& node = session.model.scene.node[part];
        state.DragStartPosition = local ? Row(node.local, 3) : node.WorldPosition();
        session.model.PushUndo(part);
        return;
    }
    switch (state.HandleMode) {
        case handle_mode::kDragMoveX:
        case handle_mode::kDragMoveY:
        case handle_mode::kDragMoveZ:
            MovePart(session, state.HandleMode - handle_mode::kDragMoveX, local, cursor);
            break;
        case handle_mode::kDragTurnX:
        case handle_mode::kDragTurnY:
        case handle_mode::kDragTurnZ:
            TurnPart(session, state.HandleMode - handle_mode::kDragTurnX, local, cursor);
            break;
        default:
            break;
    }
}

void DragLight(Session& session, framework::GraphicsDevice& device,
               const framework::InputState& input) {
    EditorState& state = session.editor;
    if (state.LightDragMode <= light_drag_mode::kIdle) return;
    const framework::PixelPoint cursor = input.screenCursor;
    if (framework::MouseButtonState(input, kLeftButton) == 0) {
        state.LightDragMode = light_drag_mode::kIdle;
        return;
    }
    if (state.LightDragMode < light_drag_mode::kDragging) {
        state.LightDragMode =
            static_cast<std::int16_t>(state.LightDragMode + light_drag_mode::kDragging);
        state.DragAnchor = cursor;
        state.LightDragStartDirection = scene::CurrentLight(device).direction;
        return;
    }
    // The light is the Z axis of the pivot at the origin, posed afresh from the press.
    scene::TransformNode& pivot = session.orbitPivot;
    pivot.SetLocalPosition({0.0f, 0.0f, 0.0f});
    pivot.SetDirection(state.LightDragStartDirection, {0.0f, 1.0f, 0.0f});
    const float angle =
        static_cast<float>(state.DragAnchor.x - cursor.x) * kLightDragRadiansPerPixel;
    if (state.LightDragMode == light_drag_mode::kDragTilt) pivot.TurnLocalX(angle);
    if (state.LightDragMode == light_drag_mode::kDragTurn) pivot.TurnParentY(angle);
    const float power = LightPowerAt(session.panels.lightPowerPosition);
    scene::SetDirectionalLight(device, Row(pivot.local, 2), power, power, power, 0.0f);
}

}  // namespace app
