#include "app/core/session.h"

#include "app/core/editor_actions.h"
#include "app/core/editor_look.h"
#include "app/core/view_size.h"
#include "framework/notice.h"
#include "gfx/math/math.h"

namespace app {

Session::Session() {
    // The camera a new device starts with, until start-up frames the view.
    editor.Camera.ViewMatrix = gfx::MatrixLookAtLH({0, 0, -1}, {0, 0, 0}, {0, 1, 0});
    editor.Camera.ProjectionMatrix =
        EditorProjection(framework::kBackBufferWidth, framework::kBackBufferHeight);
    model.ResetRebuildPose();
    model.animation.ClearAnimation();
}

void Session::ShowMessage(std::string_view text) {
    framework::ShowMessage(text);
}

void Session::PartTreeChanged(const model::PartTable& parts, bool scaleChanged) {
    ShowAllParts(*this);
    panelObserver().TreeRebuilt(parts, scaleChanged);
}

void Session::EditRestored(bool scaleChanged) {
    panelObserver().KeyShown(editor.ShownKey);
    if (scaleChanged) panelObserver().ScaleChanged(model.parts.scale);
}

}  // namespace app
