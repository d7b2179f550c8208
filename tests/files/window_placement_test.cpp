#include "files/settings/window_placement.h"

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

// A window that moves as asked, keeping its size.
class MovableWindow : public framework::PlaceableWindow {
  public:
    explicit MovableWindow(ScreenRect frame) : frame_(frame) {}
    ScreenRect Frame() const override { return frame_; }
    void MoveRaiseAndShow(int left, int top) override {
        frame_ = {left, top, left + frame_.right - frame_.left, top + frame_.bottom - frame_.top};
        ++moves;
    }
    int moves = 0;

  private:
    ScreenRect frame_;
};

TEST(WindowPlacementTest, APositionCountsAsStoredWhenEitherCoordinateIs) {
    ScratchFolder folder;
    const SettingsFile settings(folder / "Posewrighter.ini");
    WriteBytes(settings.path(),
               "[MAIN_DIALOG]\r\nTOP= 5\r\n[ANIM_DIALOG]\r\nLEFT=\r\n"
               "[LIGHT_DIALOG]\r\nPOWER=0.5\r\n");
    EXPECT_TRUE(HasStoredPosition(settings, "MAIN_DIALOG"));
    EXPECT_TRUE(HasStoredPosition(settings, "anim_dialog")) << "an empty value is stored";
    EXPECT_FALSE(HasStoredPosition(settings, "LIGHT_DIALOG")) << "other keys only";
    EXPECT_FALSE(HasStoredPosition(settings, "MATERIAL_DIALOG"));
}

TEST(WindowPlacementTest, WithoutAStoredPositionAWindowShowsWhereItStands) {
    ScratchFolder folder;
    const SettingsFile settings(folder / "Posewrighter.ini");
    FakeWindow window({300, 200, 946, 709});
    EXPECT_FALSE(RestoreStoredPosition(window, settings, "MAIN_WINDOW", kScreens));
    ASSERT_EQ(window.moves.size(), 1u);
    EXPECT_EQ(window.moves[0], (WindowCorner{300, 200}));

    WriteBytes(settings.path(), "[MAIN_WINDOW]\r\nLEFT= 40\r\nTOP= 30\r\n");
    FakeWindow stored({300, 200, 946, 709});
    EXPECT_TRUE(RestoreStoredPosition(stored, settings, "MAIN_WINDOW", kScreens));
    ASSERT_EQ(stored.moves.size(), 1u);
    EXPECT_EQ(stored.moves[0], (WindowCorner{40, 30}));
}

// Only the windows with no stored position move, to the layout's places in the work area; a
// stored one stays, and a missing one is skipped.
TEST(WindowPlacementTest, TheLayoutMovesOnlyWindowsWithoutAStoredPosition) {
    ScratchFolder folder;
    const SettingsFile settings(folder / "Posewrighter.ini");
    WriteBytes(settings.path(), "[ANIM_DIALOG]\r\nLEFT= 1500\r\nTOP= 900\r\n");
    MovableWindow main({0, 0, 642, 501});
    MovableWindow part({0, 0, 287, 492});
    MovableWindow animation({1500, 900, 1710, 1043});
    MovableWindow lighting({0, 0, 184, 70});
    StartWindows windows;
    windows[0] = {&main, "MAIN_WINDOW"};
    windows[1] = {&part, "MAIN_DIALOG"};
    windows[2] = {&animation, "ANIM_DIALOG"};
    windows[4] = {&lighting, "LIGHT_DIALOG"};
    const ScreenRect workArea{1920, 24, 3200, 1024};
    LayOutUnstoredWindows(windows, settings, workArea);
    EXPECT_EQ(main.Frame(), (ScreenRect{1920, 24, 2562, 525}));
    EXPECT_EQ(part.Frame(), (ScreenRect{2570, 24, 2857, 516}));
    EXPECT_EQ(animation.moves, 0);
    EXPECT_EQ(lighting.Frame(), (ScreenRect{2138, 533, 2322, 603}))
        << "after the Animation panel's place in the row, the Handling panel missing";
}

TEST(WindowPlacementTest, WithEveryPositionStoredTheLayoutMovesNothing) {
    ScratchFolder folder;
    const SettingsFile settings(folder / "Posewrighter.ini");
    WriteBytes(settings.path(), "[MAIN_WINDOW]\r\nLEFT= 5\r\nTOP= 6\r\n");
    MovableWindow main({5, 6, 647, 507});
    StartWindows windows;
    windows[0] = {&main, "MAIN_WINDOW"};
    LayOutUnstoredWindows(windows, settings, {0, 0, 1920, 1080});
    EXPECT_EQ(main.moves, 0);
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
