#include "files/settings/window_size.h"

#include <algorithm>
#include <cstdio>

namespace files {

framework::WindowSize ReadClientSize(const SettingsFile& settings, std::string_view section,
                                     framework::WindowSize fallback) {
    const int width = settings.ReadInteger(section, "WIDTH", "0");
    const int height = settings.ReadInteger(section, "HEIGHT", "0");
    if (width <= 0 || height <= 0) return fallback;
    return {width, height};
}

gfx::Status WriteClientSize(const SettingsFile& settings, std::string_view section,
                            framework::WindowSize size) {
    char text[16];
    std::snprintf(text, sizeof text, " %d", size.width);
    if (gfx::Status status = settings.Write(section, "WIDTH", text); !status) return status;
    std::snprintf(text, sizeof text, " %d", size.height);
    return settings.Write(section, "HEIGHT", text);
}

framework::ScreenRect ScreenOfCorner(int left, int top,
                                     std::span<const framework::ScreenRect> screens) {
    for (const framework::ScreenRect& screen : screens) {
        if (left >= screen.left && left < screen.right && top >= screen.top &&
            top < screen.bottom) {
            return screen;
        }
    }
    return screens.empty() ? framework::ScreenRect{} : screens.front();
}

namespace {

// One side: the room the screen leaves (in 64 bits: edges near the int range must not
// overflow), then the minimum over it.
int FitSide(int stored, int minimum, int frame, long long screenStart, long long screenEnd) {
    long long side = stored;
    const long long room = screenEnd - screenStart - std::max(frame, 0);
    if (screenEnd > screenStart) side = std::min(side, room);
    return static_cast<int>(std::max<long long>(side, minimum));
}

}  // namespace

framework::WindowSize FitClientSize(framework::WindowSize stored, framework::WindowSize minimum,
                                    framework::WindowSize frame,
                                    const framework::ScreenRect& screen) {
    return {FitSide(stored.width, minimum.width, frame.width, screen.left, screen.right),
            FitSide(stored.height, minimum.height, frame.height, screen.top, screen.bottom)};
}

}  // namespace files
