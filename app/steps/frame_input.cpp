#include "app/steps/frame_input.h"

#include "app/core/editor_actions.h"
#include "app/steps/camera_control.h"
#include "app/steps/manipulator_drags.h"
#include "app/steps/manipulator_hit.h"
#include "app/steps/playback.h"

namespace app {

void HandleCameraAndPicking(Session& session, const ClientView& view,
                            const framework::InputState& input, bool windowActive) {
    EditorState& state = session.editor;
    state.HoveredHandle = HandleMode::kIdle;
    if (!windowActive) return;
    // While nothing is dragged, the selected part's handle under the cursor is highlighted.
    if (!DragInProgress(state)) {
        state.HoveredHandle = SelectedPartHandleUnderCursor(session, view, input.cursor);
    }
    // Picking is the last case of the button chain: a held right or middle button blocks it. A
    // press on a handle starts its drag (this frame's drag step) instead of picking.
    if (!HandleCameraButtons(session, view, input) &&
        framework::MouseButtonState(input, framework::MouseButton::kLeft) ==
            framework::ButtonPhase::kPressed) {
        if (state.HoveredHandle != HandleMode::kIdle) {
            ArmPartDrag(state, state.HoveredHandle);
            state.HoveredHandle = HandleMode::kIdle;
        } else {
            PickPart(state, session.model.parts, session.model.scene, session.panels, view,
                     input.cursor, session.panelObserver());
        }
    }
    // The wheel works during a drag too; the next held frame rebuilds the view without it.
    Dolly(view.transforms, input.wheel);
}

void HandleFrameInput(Session& session, const framework::InputState& input, bool windowActive,
                      ViewSize client) {
    HandleCameraAndPicking(session, {session.editor.Camera, client.width, client.height}, input,
                           windowActive);
    CancelDragOnEscape(session, input);
    DragPart(session, input);
    PlayAnimation(session);
    DragLight(session, input);
}

}  // namespace app
