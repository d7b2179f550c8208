#include "framework/platform/input_state.h"

#include <algorithm>

namespace framework {

ButtonPhase MouseButtonState(const InputState& state, MouseButton button) {
    const int number = static_cast<int>(button);
    if (number < 0 || number >= kMouseButtonCount) return ButtonPhase::kUp;
    const auto index = static_cast<std::size_t>(number);
    return static_cast<ButtonPhase>((state.buttons[index] ? 2 : 0) +
                                    (state.previousButtons[index] ? 1 : 0));
}

PixelPoint SampledCursor(PixelPoint onScreen, const ClientArea& client, bool windowed) {
    if (!windowed) return onScreen;
    const long long x = static_cast<long long>(onScreen.x) - client.origin.x;
    const long long y = static_cast<long long>(onScreen.y) - client.origin.y;
    return {static_cast<int>(std::clamp<long long>(x, 0, std::max(client.width, 0))),
            static_cast<int>(std::clamp<long long>(y, 0, std::max(client.height, 0)))};
}

void PollInput(InputState& state, InputEventSource& source, bool windowed,
               const std::function<void()>& requestClose) {
    state.previousEscapeDown = state.escapeDown;
    state.escapeDown = source.TakeEscape();
    state.escapeInView = state.escapeDown && source.EscapeInView();
    if (!state.escapeDown) state.escapeSpent = false;
    const InputEventSource::PolledButtons buttons = source.TakeButtons();
    // A press read now is taken where it happened: the cursor may have moved on since.
    state.screenCursor = buttons.pressedAt ? *buttons.pressedAt : source.CursorOnScreen();
    state.cursor = SampledCursor(state.screenCursor, source.MainClientArea(), windowed);
    state.previousButtons = state.buttons;
    state.buttons = buttons.down;
    state.wheel = source.TakeWheelMovement();
    if (state.escapeInView && !state.escapeSpent && requestClose) requestClose();
}

void ClearInputState(InputState& state) {
    state.escapeDown = false;
    state.buttons = {};
    state.previousButtons = {};
}

}  // namespace framework
