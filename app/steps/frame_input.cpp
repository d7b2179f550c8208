#include "app/steps/frame_input.h"

#include "app/steps/camera_control.h"
#include "app/steps/manipulator_drags.h"
#include "app/steps/playback.h"

namespace app {

void HandleCameraAndPicking(Session& session, const ClientView& view,
                            const framework::InputState& input, bool windowActive) {
    if (!windowActive) return;
    // Picking is the last case of the button chain: a held right or middle button blocks it.
    if (!HandleCameraButtons(session, view, input) &&
        framework::MouseButtonState(input, framework::MouseButton::kLeft) ==
            framework::ButtonPhase::kPressed) {
        PickPart(session.editor, session.model.parts, session.model.scene, session.panels, view,
                 input.cursor, session.panelObserver());
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
