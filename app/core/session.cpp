#include "app/core/session.h"

#include "framework/notice.h"

namespace app {

Session::Session() {
    model.ResetRebuildPose();
    model.animation.ClearAnimation();
}

void Session::ShowMessage(std::string_view text) {
    framework::ShowMessage(text);
}

void Session::PartTreeChanged(const model::PartTable& parts, bool scaleChanged) {
    panels.ShowAllParts();
    panelObserver().TreeRebuilt(parts, scaleChanged);
}

}  // namespace app
