#pragma once
// Game controllers: the Linux input devices that report joystick or gamepad buttons, up to
// eight, opened read-only at start-up and closed at shutdown. Nothing reads them; they are
// held as the input devices of the program for its whole run.

#include <array>
#include <span>
#include <string>
#include <vector>

namespace framework {

inline constexpr int kMaxControllers = 8;

// True when the event-type bits include key events and the key bits include a joystick or
// gamepad button (BTN_JOYSTICK through BTN_THUMBR). The arrays are the kernel's capability
// bitmaps: bit n is bit n % W of word n / W, W the width of unsigned long; bits beyond the
// arrays count as clear.
bool ReportsControllerButtons(std::span<const unsigned long> eventTypeBits,
                              std::span<const unsigned long> keyBits);

// The number N of an event device name "eventN", or -1 for any other name.
int EventDeviceNumber(std::string_view name);

// The system's input devices as the controller set-up uses them.
class EventDeviceAccess {
  public:
    virtual ~EventDeviceAccess() = default;
    // The event device paths in the order of their numbers.
    virtual std::vector<std::string> DevicePaths() = 0;
    // Opens read-only without blocking; a negative result when the device cannot be opened.
    virtual int Open(const std::string& path) = 0;
    virtual bool IsController(int descriptor) = 0;
    virtual void Close(int descriptor) = 0;
};

// /dev/input/event*, probed with the EVIOCGBIT ioctl.
EventDeviceAccess& SystemEventDevices();

struct GameControllers {
    std::array<int, kMaxControllers> descriptors = {-1, -1, -1, -1, -1, -1, -1, -1};
    int count = 0;  // slots in use, 0-8
};

// Opens the controllers in device order into the slots, stops at eight, and logs their number
// when there is any. A device that cannot be opened is passed over: its kind cannot be told.
void OpenControllers(GameControllers& controllers, EventDeviceAccess& devices);
// Closes every open slot; safe to call again.
void CloseControllers(GameControllers& controllers, EventDeviceAccess& devices);

}  // namespace framework
