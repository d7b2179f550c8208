#pragma once
// The input record sampled once per frame: the mouse buttons with their state in the frame
// before, the cursor, the wheel, and the Escape key that closes the program.

#include <array>
#include <functional>

#include "framework/platform/input_source.h"

namespace framework {

struct InputState {
    std::array<bool, kMouseButtonCount> buttons{};          // down at the last poll
    std::array<bool, kMouseButtonCount> previousButtons{};  // down at the poll before
    bool escapeDown = false;
    bool previousEscapeDown = false;  // at the poll before
    // The Escape key went down in the main window (the 3D view), not in a tool panel: only
    // there does it end the editor.
    bool escapeInView = false;
    // Escape has done its work (it cancelled a drag): it ends nothing more until released.
    bool escapeSpent = false;
    // Client coordinates of the main window, clamped to 0..width and 0..height (both included),
    // when windowed; screen coordinates, unclamped, when full-screen.
    PixelPoint cursor;
    // The system cursor in screen coordinates, never clamped: the manipulator drags follow the
    // mouse outside the client area too.
    PixelPoint screenCursor;
    int wheel = 0;  // wheel movement reported by the last poll
};

enum class MouseButton : int { kLeft, kRight, kMiddle, kFourth };

// A button across the last two polls: down at the last poll counts 2, down at the one before 1.
enum class ButtonPhase : int { kUp = 0, kReleased = 1, kPressed = 2, kHeld = 3 };

// The button's phase in this frame; kUp for a value outside the four buttons.
ButtonPhase MouseButtonState(const InputState& state, MouseButton button);

// The cursor as the record holds it: the screen position converted to client coordinates and
// clamped when windowed, as it is when full-screen.
PixelPoint SampledCursor(PixelPoint onScreen, const ClientArea& client, bool windowed);

// Samples the source into state. While Escape is down after a press in the view, and not spent,
// requestClose is called once per poll.
void PollInput(InputState& state, InputEventSource& source, bool windowed,
               const std::function<void()>& requestClose);

// Forgets the keys and buttons, so that a button still held reads as pressed in the next frame
// (after a message box, which swallows the release of whatever was pressed before it).
void ClearInputState(InputState& state);

}  // namespace framework
