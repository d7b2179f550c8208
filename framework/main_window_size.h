#pragma once
// The main window's client sizes in logical pixels: the first start's, and the smallest the
// window can be sized to (the window itself, and a stored size read back, keep to it).

namespace framework {

struct WindowSize {
    int width = 0, height = 0;
    friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

inline constexpr WindowSize kFirstClientSize{640, 480};
inline constexpr WindowSize kMinimumClientSize{320, 240};

}  // namespace framework
