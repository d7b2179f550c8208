#include "framework/qt/screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <cmath>

namespace framework::qt {

std::vector<QScreen*> ScreensPrimaryFirst() {
    std::vector<QScreen*> screens;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr) screens.push_back(primary);
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) screens.push_back(screen);
    }
    return screens;
}

std::vector<framework::ScreenRect> ScreenRects() {
    std::vector<framework::ScreenRect> rects;
    for (QScreen* screen : ScreensPrimaryFirst()) {
        const QRect g = screen->geometry();
        rects.push_back({g.left(), g.top(), g.left() + g.width(), g.top() + g.height()});
    }
    return rects;
}

framework::ScreenRect WorkAreaOf(const QWindow& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {};
    const QRect area = screen->availableGeometry();
    return {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

std::uint32_t FormatOfDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 32:
        case 24:
            return framework::kFormatX8R8G8B8;
        case 16:
            return framework::kFormatR5G6B5;
        case 15:
            return framework::kFormatX1R5G5B5;
        default:
            return framework::kFormatUnknown;
    }
}

framework::DisplayMode CurrentModeOf(const QScreen& screen) {
    const QSize size = screen.size();
    const double ratio = screen.devicePixelRatio();
    return {static_cast<int>(std::lround(size.width() * ratio)),
            static_cast<int>(std::lround(size.height() * ratio)), FormatOfDepth(screen.depth())};
}

}  // namespace framework::qt
