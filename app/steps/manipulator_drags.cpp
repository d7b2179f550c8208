#include "app/steps/manipulator_drags.h"

#include <array>
#include <cstddef>

#include "app/core/editor_actions.h"
#include "app/core/stored_light.h"
#include "gfx/math/math.h"

namespace app {

namespace {

bool LeftButtonUp(const framework::InputState& input) {
    return framework::MouseButtonState(input, framework::MouseButton::kLeft) ==
           framework::ButtonPhase::kUp;
}

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
    return state.Handle != HandleMode::kIdle || state.LightDrag != LightDragMode::kIdle;
}

bool CancelDragOnEscape(Session& session, const framework::InputState& input) {
    EditorState& state = session.editor;
    if (!input.escapeDown || input.previousEscapeDown || !DragInProgress(state)) return false;
    // The first frame of a drag began its edit: cancelling it puts the part where it was and
    // leaves no step to undo.
    if (state.Handle != HandleMode::kIdle && state.HandlePhase == DragPhase::kDragging) {
        session.model.CancelEdit();
    }
    if (state.LightDrag != LightDragMode::kIdle && state.LightDragPhase == DragPhase::kDragging) {
        SetLight(state, state.LightDragStartDirection, LightPowerAt(state.LightPowerPosition));
    }
    state.Handle = HandleMode::kIdle;
    state.HandlePhase = DragPhase::kArmed;
    state.LightDrag = LightDragMode::kIdle;
    state.LightDragPhase = DragPhase::kArmed;
    return true;
}

void DragPart(Session& session, const framework::InputState& input) {
    EditorState& state = session.editor;
    if (state.Handle == HandleMode::kIdle) return;
    const framework::PixelPoint cursor = input.screenCursor;
    const model::PartIndex part = state.SelectedPart;
    if (LeftButtonUp(input) || part < 0 || part >= model::kMaxParts) {
        // The whole drag, press to release, is one history step.
        if (state.HandlePhase == DragPhase::kDragging) session.model.EndEdit();
        state.Handle = HandleMode::kIdle;
        state.HandlePhase = DragPhase::kArmed;
        return;
    }
    const bool local = session.panels.handlingLocal;
    if (state.HandlePhase == DragPhase::kArmed) {
        state.HandlePhase = DragPhase::kDragging;
        state.DragAnchor = cursor;
        const scene::TransformNode& node = session.model.scene.node[part];
        state.DragStartPosition = local ? Row(node.local, 3) : node.WorldPosition();
        session.model.BeginEdit();
        return;
    }
    if (IsTurnMode(state.Handle)) {
        TurnPart(session, HandleAxis(state.Handle), local, cursor);
    } else {
        MovePart(session, HandleAxis(state.Handle), local, cursor);
    }
}

void DragLight(Session& session, const framework::InputState& input) {
    EditorState& state = session.editor;
    if (state.LightDrag == LightDragMode::kIdle) return;
    const framework::PixelPoint cursor = input.screenCursor;
    if (LeftButtonUp(input)) {
        state.LightDrag = LightDragMode::kIdle;
        state.LightDragPhase = DragPhase::kArmed;
        return;
    }
    if (state.LightDragPhase == DragPhase::kArmed) {
        state.LightDragPhase = DragPhase::kDragging;
        state.DragAnchor = cursor;
        state.LightDragStartDirection = LightDirection(state.Light);
        return;
    }
    // The light is the Z axis of the pivot at the origin, posed afresh from the press.
    scene::TransformNode& pivot = session.orbitPivot;
    pivot.SetLocalPosition({0.0f, 0.0f, 0.0f});
    pivot.SetDirection(state.LightDragStartDirection, {0.0f, 1.0f, 0.0f});
    const float angle =
        static_cast<float>(state.DragAnchor.x - cursor.x) * kLightDragRadiansPerPixel;
    if (state.LightDrag == LightDragMode::kTilt) pivot.TurnLocalX(angle);
    if (state.LightDrag == LightDragMode::kTurn) pivot.TurnParentY(angle);
    SetLight(state, Row(pivot.local, 2), LightPowerAt(state.LightPowerPosition));
}

}  // namespace app
