#include "files/settings/window_placement.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace files {

namespace {

// Edges in 64 bits: a saved corner near the int range plus the window's size must not overflow.
struct Box {
    std::int64_t left, top, right, bottom;
};

Box ToBox(const framework::ScreenRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

bool Overlaps(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The gap between two intervals on one axis, 0 when they touch or overlap.
std::int64_t Gap(std::int64_t aStart, std::int64_t aEnd, std::int64_t bStart, std::int64_t bEnd) {
    return std::max<std::int64_t>({bStart - aEnd, aStart - bEnd, 0});
}

// Squared, to compare without roots; in double because gaps up to 2^33 square past int64.
double SquaredGap(const Box& a, const Box& b) {
    const auto dx = static_cast<double>(Gap(a.left, a.right, b.left, b.right));
    const auto dy = static_cast<double>(Gap(a.top, a.bottom, b.top, b.bottom));
    return dx * dx + dy * dy;
}

// The start that keeps [start, start + length) inside [low, high), or low when it cannot fit.
std::int64_t ClampStart(std::int64_t start, std::int64_t length, std::int64_t low,
                        std::int64_t high) {
    return std::max(low, std::min(start, high - length));
}

int ToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

}  // namespace

WindowCorner KeepOnScreen(WindowCorner saved, int width, int height,
                          std::span<const framework::ScreenRect> screens) {
    const std::int64_t w = std::max(width, 0);
    const std::int64_t h = std::max(height, 0);
    // An empty window still counts as standing where its corner is.
    const Box window{saved.left, saved.top, saved.left + std::max<std::int64_t>(w, 1),
                     saved.top + std::max<std::int64_t>(h, 1)};
    if (screens.empty()) return saved;

    Box nearest = ToBox(screens.front());
    double nearestGap = std::numeric_limits<double>::infinity();
    for (const auto& screen : screens) {
        const Box box = ToBox(screen);
        if (Overlaps(window, box)) return saved;
        const double gap = SquaredGap(window, box);
        if (gap < nearestGap) {
            nearest = box;
            nearestGap = gap;
        }
    }
    return {ToInt(ClampStart(saved.left, w, nearest.left, nearest.right)),
            ToInt(ClampStart(saved.top, h, nearest.top, nearest.bottom))};
}

void RestoreWindowPosition(framework::PlaceableWindow& window, const SettingsFile& settings,
                           std::string_view section,
                           std::span<const framework::ScreenRect> screens) {
    const framework::ScreenRect frame = window.Frame();
    const WindowCorner saved{settings.ReadInteger(section, "LEFT", "0"),
                             settings.ReadInteger(section, "TOP", "0")};
    const WindowCorner corner =
        KeepOnScreen(saved, frame.right - frame.left, frame.bottom - frame.top, screens);
    window.MoveRaiseAndShow(corner.left, corner.top);
}

bool HasStoredPosition(const SettingsFile& settings, std::string_view section) {
    return settings.Find(section, "LEFT").has_value() || settings.Find(section, "TOP").has_value();
}

bool RestoreStoredPosition(framework::PlaceableWindow& window, const SettingsFile& settings,
                           std::string_view section,
                           std::span<const framework::ScreenRect> screens) {
    if (HasStoredPosition(settings, section)) {
        RestoreWindowPosition(window, settings, section, screens);
        return true;
    }
    const framework::ScreenRect frame = window.Frame();
    window.MoveRaiseAndShow(frame.left, frame.top);
    return false;
}

void LayOutUnstoredWindows(const StartWindows& windows, const SettingsFile& settings,
                           framework::ScreenRect workArea) {
    LayoutSizes sizes{};
    LayoutStored stored{};
    std::array<bool, kLayoutWindows> unstored{};
    bool anyUnstored = false;
    for (std::size_t i = 0; i < kLayoutWindows; ++i) {
        if (windows[i].window == nullptr) continue;
        const framework::ScreenRect frame = windows[i].window->Frame();
        sizes[i] = {frame.right - frame.left, frame.bottom - frame.top};
        unstored[i] = !HasStoredPosition(settings, windows[i].section);
        // A stored window is already where it was stored: the others go around it.
        if (!unstored[i]) stored[i] = WindowCorner{frame.left, frame.top};
        anyUnstored = anyUnstored || unstored[i];
    }
    if (!anyUnstored) return;
    const LayoutCorners corners = FirstStartLayout(workArea, sizes, stored);
    for (std::size_t i = 0; i < kLayoutWindows; ++i) {
        if (unstored[i]) windows[i].window->MoveRaiseAndShow(corners[i].left, corners[i].top);
    }
}

void SaveWindowPosition(const framework::PlaceableWindow& window, const SettingsFile& settings,
                        std::string_view section) {
    const framework::ScreenRect frame = window.Frame();
    char text[16];
    std::snprintf(text, sizeof text, " %d", frame.left);
    LogFailedSettingsWrite(settings.Write(section, "LEFT", text), section);
    std::snprintf(text, sizeof text, " %d", frame.top);
    LogFailedSettingsWrite(settings.Write(section, "TOP", text), section);
}

}  // namespace files
