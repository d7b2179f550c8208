#include "app/steps/frame_input.h"

#include "app/steps/camera_control.h"
#include "app/steps/manipulator_drags.h"
#include "app/steps/playback.h"

namespace app {

void HandleCameraAndPicking(Session& session, const ClientView& view,
                            const framework::InputState& input, bool windowActive) {
    if (!windowActive) return;
    constexpr int kLeftButton = 0;
    constexpr int kPressed = 2;
    // Picking is the last case of the button chain: a held right or middle button blocks it.
    if (!HandleCameraButtons(session, view, input) &&
        framework::MouseButtonState(input, kLeftButton) == kPressed) {
        PickPart(session.editor, session.model.parts, session.model.scene, session.panels, view,
                 input.cursor, session.panelObserver());
    }
    // The wheel works during a drag too; the next held frame rebuilds the view without it.
    Dolly(view.transforms, input.wheel);
}

void HandleFrameInput(Session& session, framework::GraphicsDevice& device,
                      const framework::InputState& input, bool windowActive, ViewSize client) {
    HandleCameraAndPicking(session, {device.transforms, client.width, client.height}, input,
                           windowActive);
    CancelDragOnEscape(session, device, input);
    DragPart(session, input);
    PlayAnimation(session);
    DragLight(session, device, input);
}

}  // namespace app
