#include "files/settings/window_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace files {
namespace {

using framework::ScreenRect;
using W = LayoutWindow;

// The frames openbox gives the editor's windows (title bar and border included).
constexpr LayoutSizes kFrames = {{{642, 501},    // main window: 640 x 480 client area
                                  {287, 492},    // Part panel
                                  {210, 161},    // Animation panel
                                  {247, 109},    // Handling panel
                                  {184, 70},     // Lighting panel
                                  {358, 288}}};  // Material panel

constexpr std::size_t I(W window) {
    return static_cast<std::size_t>(window);
}

ScreenRect FrameAt(const LayoutCorners& corners, const LayoutSizes& frames, std::size_t i) {
    return {corners[i].left, corners[i].top, corners[i].left + frames[i].width,
            corners[i].top + frames[i].height};
}

std::int64_t Overlap(const ScreenRect& a, const ScreenRect& b) {
    const std::int64_t w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const std::int64_t h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

bool Inside(const ScreenRect& frame, const ScreenRect& area) {
    return frame.left >= area.left && frame.top >= area.top && frame.right <= area.right &&
           frame.bottom <= area.bottom;
}

struct ScreenCase {
    std::string name;
    ScreenRect workArea;
    // Whether every window fits side by side; otherwise only the panels' own overlaps must be 0.
    bool fitsApart;
    std::optional<WindowCorner> material;  // where the Material panel must go, if checked
};

class FirstStartLayoutScreens : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(FirstStartLayoutScreens, EveryWindowOnTheWorkAreaAndApartWhereItFits) {
    const ScreenCase& c = GetParam();
    const LayoutCorners corners = FirstStartLayout(c.workArea, kFrames);
    for (std::size_t i = 0; i < kLayoutWindows; ++i) {
        EXPECT_TRUE(Inside(FrameAt(corners, kFrames, i), c.workArea)) << "window " << i;
        for (std::size_t j = 0; j < i; ++j) {
            const std::int64_t overlap =
                Overlap(FrameAt(corners, kFrames, i), FrameAt(corners, kFrames, j));
            if (c.fitsApart || j != I(W::kMain)) {
                EXPECT_EQ(overlap, 0) << "windows " << j << " and " << i;
            }
        }
    }
    // The main window in the corner and the Part panel, which holds the menus, clear of it.
    EXPECT_EQ(corners[I(W::kMain)], (WindowCorner{c.workArea.left, c.workArea.top}));
    EXPECT_EQ(
        Overlap(FrameAt(corners, kFrames, I(W::kMain)), FrameAt(corners, kFrames, I(W::kPart))), 0);
    if (c.fitsApart) {
        EXPECT_EQ(corners[I(W::kPart)],
                  (WindowCorner{c.workArea.left + 642 + kLayoutGap, c.workArea.top}));
        for (const W row : {W::kAnimation, W::kHandling, W::kLighting}) {
            EXPECT_EQ(corners[I(row)].top, c.workArea.top + 501 + kLayoutGap) << "below the view";
        }
        EXPECT_EQ(corners[I(W::kAnimation)].left, c.workArea.left);
    }
    if (c.material) {
        EXPECT_EQ(corners[I(W::kMaterial)], *c.material);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Screens, FirstStartLayoutScreens,
    ::testing::Values(
        // Material panel below the Part panel, right of the row that reaches under it.
        ScreenCase{"FullHd", {0, 0, 1920, 1080}, true, WindowCorner{665, 500}},
        ScreenCase{"Sxga", {0, 0, 1280, 1024}, true, WindowCorner{665, 500}},
        // Too low for that: beside the Part panel.
        ScreenCase{"Wxga", {0, 0, 1366, 768}, true, WindowCorner{945, 0}},
        ScreenCase{"WxgaUnderATopBar", {0, 27, 1366, 768}, true, WindowCorner{945, 27}},
        ScreenCase{"SecondScreenRight", {1920, 0, 3286, 768}, true, WindowCorner{2865, 0}},
        ScreenCase{"ScreenLeftAndAbove", {-1366, -200, 0, 568}, true, WindowCorner{-421, -200}},
        // Too small for all six apart: the panels overlap only the view, never each other.
        ScreenCase{"Xga", {0, 0, 1024, 768}, false, std::nullopt},
        ScreenCase{"Hd720", {0, 0, 1280, 720}, false, std::nullopt},
        ScreenCase{"Svga", {0, 0, 1000, 600}, false, std::nullopt}),
    [](const ::testing::TestParamInfo<ScreenCase>& test) { return test.param.name; });

TEST(FirstStartLayoutTest, AWindowLargerThanTheWorkAreaGoesToItsCorner) {
    const ScreenRect small{100, 50, 700, 450};
    const LayoutCorners corners = FirstStartLayout(small, kFrames);
    EXPECT_EQ(corners[I(W::kMain)], (WindowCorner{100, 50}));
    EXPECT_EQ(corners[I(W::kPart)], (WindowCorner{100, 50}))
        << "taller than the area: at its top, as far left as it must";
    for (std::size_t i = 0; i < kLayoutWindows; ++i) {
        const ScreenRect frame = FrameAt(corners, kFrames, i);
        EXPECT_GE(frame.left, small.left);
        EXPECT_GE(frame.top, small.top);
        if (kFrames[i].width <= 600 && kFrames[i].height <= 400) {
            EXPECT_TRUE(Inside(frame, small)) << "window " << i;
        }
    }
}

TEST(FirstStartLayoutTest, AMissingPanelTakesNoRoom) {
    LayoutSizes frames = kFrames;
    frames[I(W::kHandling)] = {};
    const LayoutCorners corners = FirstStartLayout({0, 0, 1920, 1080}, frames);
    EXPECT_EQ(corners[I(W::kHandling)], (WindowCorner{0, 0}));
    EXPECT_EQ(corners[I(W::kLighting)], (WindowCorner{218, 509})) << "next to Animation";
    EXPECT_EQ(corners[I(W::kMaterial)], (WindowCorner{650, 500})) << "right below the Part panel";
}

TEST(FirstStartLayoutTest, WithoutAMainWindowThePanelsStillStandApart) {
    LayoutSizes frames = kFrames;
    frames[I(W::kMain)] = {0, 480};
    const ScreenRect area{0, 0, 1366, 768};
    const LayoutCorners corners = FirstStartLayout(area, frames);
    EXPECT_EQ(corners[I(W::kPart)], (WindowCorner{0, 0}));
    for (std::size_t i = I(W::kPart); i < kLayoutWindows; ++i) {
        EXPECT_TRUE(Inside(FrameAt(corners, frames, i), area)) << "window " << i;
        for (std::size_t j = I(W::kPart); j < i; ++j) {
            EXPECT_EQ(Overlap(FrameAt(corners, frames, i), FrameAt(corners, frames, j)), 0)
                << "windows " << j << " and " << i;
        }
    }
}

}  // namespace
}  // namespace files

namespace files {
namespace {

TEST(FirstStartLayoutTest, WindowsWithoutAPositionGoAroundTheStoredOnes) {
    // As a settings file that keeps some panels where the user put them: the Handling panel
    // stored where the row below the main window would put the Animation panel, the Part panel
    // far right. The others must not cover them.
    LayoutStored stored{};
    stored[I(W::kMain)] = WindowCorner{0, 0};
    stored[I(W::kHandling)] = WindowCorner{20, 540};
    stored[I(W::kPart)] = WindowCorner{1500, 20};
    const ScreenRect area{0, 0, 1920, 1080};
    const LayoutCorners corners = FirstStartLayout(area, kFrames, stored);
    for (std::size_t i = 0; i < kLayoutWindows; ++i) {
        if (stored[i]) {
            EXPECT_EQ(corners[i], *stored[i]) << "stored window " << i << " moved";
            continue;
        }
        EXPECT_TRUE(Inside(FrameAt(corners, kFrames, i), area)) << "window " << i;
        for (std::size_t j = 0; j < kLayoutWindows; ++j) {
            if (j == i || (!stored[j] && j > i)) continue;
            EXPECT_EQ(Overlap(FrameAt(corners, kFrames, i), FrameAt(corners, kFrames, j)), 0)
                << "windows " << j << " and " << i;
        }
    }
    // Nothing in the way of the preferred places: they are used as at a first start.
    LayoutStored mainOnly{};
    mainOnly[I(W::kMain)] = WindowCorner{0, 0};
    EXPECT_EQ(FirstStartLayout(area, kFrames, mainOnly), FirstStartLayout(area, kFrames));
}

}  // namespace
}  // namespace files
