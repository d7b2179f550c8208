#pragma once
// The program's input devices: set up at start-up after the graphics device (whose mode decides
// how the cursor is reported), sampled once per frame into the record of the program that owns
// it, before the editor's frame step, released in the teardown. The keyboard and the mouse come
// from the windowing layer's event source; the game controllers from the system's input devices.

#include <functional>

#include "framework/platform/game_controllers.h"
#include "framework/platform/input_source.h"
#include "framework/platform/input_state.h"

namespace framework {

// Writes the log separator and "InitDirectInput", keeps the source (which must outlive
// FreeInput) and the mode, moves the cursor to the middle of the client area, and opens the game
// controllers. The caller starts its record cleared. Returns true: the windowing layer's keyboard
// and mouse are always there, and controller problems never fail the set-up.
bool InitDirectInput(InputEventSource& source, bool windowed,
                     EventDeviceAccess& devices = SystemEventDevices());

// Writes the log separator and "FreeInput", closes the controllers and lets go of the source.
// Safe without InitDirectInput and when called twice.
void FreeInput();

// Samples this frame's input into `state`; while Escape pressed in the view is down, calls
// requestClose (the main window's close request) once per frame. Does nothing before
// InitDirectInput or after FreeInput.
void PollInput(InputState& state, const std::function<void()>& requestClose);

// Moves the system cursor to (x, y): client coordinates of the main window when windowed,
// screen coordinates when full-screen.
void SetCursorPosition(int x, int y);

}  // namespace framework
