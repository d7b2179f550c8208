#include "files/window_placement.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/files/files_test_util.h"

namespace files {
namespace {

using framework::ScreenRect;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

class FakeWindow : public framework::PlaceableWindow {
  public:
    explicit FakeWindow(ScreenRect frame) : frame_(frame) {}
    ScreenRect Frame() const override { return frame_; }
    void MoveRaiseAndShow(int left, int top) override { moves.push_back({left, top}); }
    std::vector<WindowCorner> moves;

  private:
    ScreenRect frame_;
};

// A full-HD screen and a smaller one to its right.
const std::vector<ScreenRect> kScreens = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};

TEST(WindowPlacementTest, FirstRunPutsTheWindowAtTheScreenCornerWithItsOwnSize) {
    ScratchFolder folder;
    const SettingsFile settings(folder / "Posewrighter.ini");
    FakeWindow window({300, 200, 946, 709});
    RestoreWindowPosition(window, settings, "MAIN_WINDOW", kScreens);
    ASSERT_EQ(window.moves.size(), 1u);
    EXPECT_EQ(window.moves[0], (WindowCorner{0, 0}));
}

TEST(WindowPlacementTest, SavedPositionIsWrittenWithALeadingSpaceAndRestored) {
    ScratchFolder folder;
    const SettingsFile settings(folder / "Posewrighter.ini");
    SaveWindowPosition(FakeWindow({-35, 120, 605, 600}), settings, "HANDING_DIALOG");
    EXPECT_EQ(ReadBytes(settings.path()), "[HANDING_DIALOG]\r\nLEFT= -35\r\nTOP= 120\r\n");

    FakeWindow reopened({0, 0, 640, 480});
    RestoreWindowPosition(reopened, settings, "handing_dialog", kScreens);
    ASSERT_EQ(reopened.moves.size(), 1u);
    EXPECT_EQ(reopened.moves[0], (WindowCorner{-35, 120}));
}

TEST(KeepOnScreenTest, AWindowOverlappingAnyScreenStaysWhereItWasSaved) {
    EXPECT_EQ(KeepOnScreen({-600, -460}, 640, 480, kScreens), (WindowCorner{-600, -460}));
    EXPECT_EQ(KeepOnScreen({3199, 1023}, 640, 480, kScreens), (WindowCorner{3199, 1023}))
        << "one pixel on the second screen is enough";
    EXPECT_EQ(KeepOnScreen({1800, 1050}, 640, 480, kScreens), (WindowCorner{1800, 1050}));
}

TEST(KeepOnScreenTest, AWindowOffEveryScreenMovesInsideTheNearestOne) {
    // Just past the second screen's right edge (right edges are exclusive).
    EXPECT_EQ(KeepOnScreen({3200, 100}, 640, 480, kScreens), (WindowCorner{2560, 100}));
    // Below both: 920 pixels below the first, but 1180 across and 976 below the second.
    EXPECT_EQ(KeepOnScreen({100, 2000}, 640, 480, kScreens), (WindowCorner{100, 600}));
    // Just below the shorter second screen, far right of the first.
    EXPECT_EQ(KeepOnScreen({2500, 1090}, 640, 480, kScreens), (WindowCorner{2500, 544}));
    // Above and left of everything.
    EXPECT_EQ(KeepOnScreen({-2000, -900}, 640, 480, kScreens), (WindowCorner{0, 0}));
}

TEST(KeepOnScreenTest, ExtremeOrOversizedPlacementsStayWithinTheScreen) {
    EXPECT_EQ(KeepOnScreen({INT_MAX, INT_MAX}, 640, 480, kScreens), (WindowCorner{2560, 544}));
    EXPECT_EQ(KeepOnScreen({INT_MIN, INT_MIN}, 640, 480, kScreens), (WindowCorner{0, 0}));
    // Larger than any screen: its top-left corner goes to the nearest screen's.
    EXPECT_EQ(KeepOnScreen({-5000, -5000}, 3000, 2000, kScreens), (WindowCorner{0, 0}));
    EXPECT_EQ(KeepOnScreen({9000, 50}, 3000, 2000, kScreens), (WindowCorner{1920, 0}));
    EXPECT_EQ(KeepOnScreen({9000, 50}, 640, 480, {}), (WindowCorner{9000, 50}));
}

}  // namespace
}  // namespace files
