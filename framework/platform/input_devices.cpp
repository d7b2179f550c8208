#include "framework/platform/input_devices.h"

#include "framework/debug_log.h"

namespace framework {

namespace {

struct InputDevices {
    InputEventSource* source = nullptr;
    EventDeviceAccess* devices = nullptr;
    bool windowed = true;
    GameControllers controllers;
};

InputDevices& Devices() {
    static InputDevices devices;
    return devices;
}

}  // namespace

bool InitDirectInput(InputEventSource& source, bool windowed, EventDeviceAccess& devices) {
    LogSeparator();
    LogMessage("InitDirectInput\n");
    InputDevices& input = Devices();
    input.source = &source;
    input.devices = &devices;
    input.windowed = windowed;
    const ClientArea client = source.MainClientArea();
    SetCursorPosition(client.width / 2, client.height / 2);
    OpenControllers(input.controllers, devices);
    return true;
}

void FreeInput() {
    LogSeparator();
    LogMessage("FreeInput\n");
    InputDevices& input = Devices();
    if (input.devices != nullptr) CloseControllers(input.controllers, *input.devices);
    input.devices = nullptr;
    input.source = nullptr;
}

void PollInput(InputState& state, const std::function<void()>& requestClose) {
    InputDevices& input = Devices();
    if (input.source == nullptr) return;
    PollInput(state, *input.source, input.windowed, requestClose);
}

void SetCursorPosition(int x, int y) {
    InputDevices& input = Devices();
    if (input.source == nullptr) return;
    PixelPoint point{x, y};
    if (input.windowed) {
        const PixelPoint origin = input.source->MainClientArea().origin;
        point = {origin.x + x, origin.y + y};
    }
    input.source->MoveCursorOnScreen(point);
}

}  // namespace framework
