#include "framework/platform/game_controllers.h"

#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>
#include <utility>

#include "framework/debug_log.h"

namespace framework {

namespace {

constexpr std::size_t kBitsPerWord = sizeof(unsigned long) * CHAR_BIT;

constexpr std::size_t WordsFor(std::size_t maxBit) {
    return maxBit / kBitsPerWord + 1;
}

bool TestBit(std::span<const unsigned long> bits, std::size_t bit) {
    const std::size_t word = bit / kBitsPerWord;
    return word < bits.size() && ((bits[word] >> (bit % kBitsPerWord)) & 1UL) != 0;
}

class LinuxEventDevices final : public EventDeviceAccess {
  public:
    std::vector<std::string> DevicePaths() override {
        std::vector<std::pair<int, std::string>> found;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/dev/input", error)) {
            const int number = EventDeviceNumber(entry.path().filename().string());
            if (number >= 0) found.emplace_back(number, entry.path().string());
        }
        std::sort(found.begin(), found.end());
        std::vector<std::string> paths;
        for (auto& [number, path] : found) paths.push_back(std::move(path));
        return paths;
    }

    int Open(const std::string& path) override {
        return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }

    bool IsController(int descriptor) override {
        std::array<unsigned long, WordsFor(EV_MAX)> types{};
        std::array<unsigned long, WordsFor(KEY_MAX)> keys{};
        if (::ioctl(descriptor, EVIOCGBIT(0, sizeof types), types.data()) < 0) return false;
        if (::ioctl(descriptor, EVIOCGBIT(EV_KEY, sizeof keys), keys.data()) < 0) return false;
        return ReportsControllerButtons(types, keys);
    }

    void Close(int descriptor) override { ::close(descriptor); }
};

}  // namespace

bool ReportsControllerButtons(std::span<const unsigned long> eventTypeBits,
                              std::span<const unsigned long> keyBits) {
    if (!TestBit(eventTypeBits, EV_KEY)) return false;
    for (std::size_t button = BTN_JOYSTICK; button <= BTN_THUMBR; ++button) {
        if (TestBit(keyBits, button)) return true;
    }
    return false;
}

int EventDeviceNumber(std::string_view name) {
    constexpr std::string_view kPrefix = "event";
    if (!name.starts_with(kPrefix) || name.size() == kPrefix.size()) return -1;
    int number = 0;
    for (const char c : name.substr(kPrefix.size())) {
        if (c < '0' || c > '9' || number > 99999) return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

EventDeviceAccess& SystemEventDevices() {
    static LinuxEventDevices devices;
    return devices;
}

void OpenControllers(GameControllers& controllers, EventDeviceAccess& devices) {
    controllers = GameControllers{};
    for (const std::string& path : devices.DevicePaths()) {
        if (controllers.count == kMaxControllers) break;
        const int descriptor = devices.Open(path);
        if (descriptor < 0) continue;
        if (!devices.IsController(descriptor)) {
            devices.Close(descriptor);
            continue;
        }
        controllers.descriptors[static_cast<std::size_t>(controllers.count++)] = descriptor;
    }
    if (controllers.count > 0) LogMessage("ジョイスティック数 = %d\n", controllers.count);
}

void CloseControllers(GameControllers& controllers, EventDeviceAccess& devices) {
    for (int& descriptor : controllers.descriptors) {
        if (descriptor >= 0) devices.Close(std::exchange(descriptor, -1));
    }
    controllers.count = 0;
}

}  // namespace framework
