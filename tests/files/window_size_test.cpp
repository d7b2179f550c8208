#include "files/settings/window_size.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/files/files_test_util.h"

namespace files {
namespace {

using framework::ScreenRect;
using framework::WindowSize;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

constexpr WindowSize kFallback{640, 480};

TEST(WindowSizeTest, WrittenBesideThePositionWithALeadingSpaceAndReadBack) {
    ScratchFolder folder;
    const SettingsFile settings(folder / "Posewrighter.ini");
    WriteBytes(folder / "Posewrighter.ini", "[MAIN_WINDOW]\r\nLEFT= 12\r\nTOP= 34\r\n");
    ASSERT_TRUE(WriteClientSize(settings, "MAIN_WINDOW", {1280, 960}).ok());
    EXPECT_EQ(ReadBytes(folder / "Posewrighter.ini"),
              "[MAIN_WINDOW]\r\nLEFT= 12\r\nTOP= 34\r\nWIDTH= 1280\r\nHEIGHT= 960\r\n");
    EXPECT_EQ(ReadClientSize(settings, "MAIN_WINDOW", kFallback), (WindowSize{1280, 960}));
    // The position beside it is as it was.
    EXPECT_EQ(settings.ReadInteger("MAIN_WINDOW", "LEFT", "0"), 12);
    EXPECT_EQ(settings.ReadInteger("MAIN_WINDOW", "TOP", "0"), 34);
}

TEST(WindowSizeTest, AMissingHalfOrAValueThatIsNoSizeReadsAsTheFallback) {
    struct Case {
        const char* name;
        std::string section;
        WindowSize expected;
    };
    const std::vector<Case> cases = {
        {"no section", "", kFallback},
        {"an older file: the position alone", "LEFT= 5\r\nTOP= 6\r\n", kFallback},
        {"width alone", "WIDTH= 800\r\n", kFallback},
        {"height alone", "HEIGHT= 600\r\n", kFallback},
        {"zero width", "WIDTH= 0\r\nHEIGHT= 600\r\n", kFallback},
        {"negative height", "WIDTH= 800\r\nHEIGHT= -600\r\n", kFallback},
        {"text", "WIDTH= wide\r\nHEIGHT= 600\r\n", kFallback},
        {"both, read as atoi does", "WIDTH= 800px\r\nHEIGHT=  600\r\n", WindowSize{800, 600}},
        {"beyond the int range saturates", "WIDTH= 99999999999\r\nHEIGHT= 600\r\n",
         WindowSize{INT_MAX, 600}},
    };
    for (const Case& c : cases) {
        ScratchFolder folder;
        WriteBytes(folder / "Posewrighter.ini",
                   c.section.empty() ? std::string("[OTHER]\r\nWIDTH= 900\r\nHEIGHT= 700\r\n")
                                     : "[MAIN_WINDOW]\r\n" + c.section);
        const SettingsFile settings(folder / "Posewrighter.ini");
        EXPECT_EQ(ReadClientSize(settings, "MAIN_WINDOW", kFallback), c.expected) << c.name;
    }
}

TEST(WindowSizeTest, TheScreenOfACornerIsTheOneHoldingItElseThePrimary) {
    const std::vector<ScreenRect> screens = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
    EXPECT_EQ(ScreenOfCorner(0, 0, screens), screens[0]);
    EXPECT_EQ(ScreenOfCorner(1919, 1079, screens), screens[0]);
    EXPECT_EQ(ScreenOfCorner(1920, 0, screens), screens[1]) << "right edges are exclusive";
    EXPECT_EQ(ScreenOfCorner(2500, 1050, screens), screens[0]) << "below the second screen";
    EXPECT_EQ(ScreenOfCorner(-50, -50, screens), screens[0]);
    EXPECT_EQ(ScreenOfCorner(10, 10, {}), ScreenRect{});
}

TEST(WindowSizeTest, AStoredSizeIsBroughtWithinTheScreenAndKeptAboveTheMinimum) {
    constexpr WindowSize kMinimum{320, 240};
    constexpr WindowSize kFrame{6, 29};  // borders across, title bar and borders down
    const ScreenRect hd{0, 0, 1920, 1080};
    struct Case {
        const char* name;
        WindowSize stored;
        ScreenRect screen;
        WindowSize expected;
    };
    const std::vector<Case> cases = {
        {"fits as it is", {1280, 960}, hd, {1280, 960}},
        {"the first start's size", {640, 480}, hd, {640, 480}},
        {"exactly the screen less the frame", {1914, 1051}, hd, {1914, 1051}},
        {"wider than the screen", {4000, 700}, hd, {1914, 700}},
        {"taller than the screen", {800, 2000}, hd, {800, 1051}},
        {"a screen not at the origin", {3000, 3000}, {1920, -200, 3200, 824}, {1274, 995}},
        {"below the minimum", {100, 50}, hd, {320, 240}},
        {"a screen smaller than the minimum", {800, 600}, {0, 0, 300, 200}, {320, 240}},
        {"no screen limits nothing", {5000, 4000}, {}, {5000, 4000}},
        {"the int range",
         {INT_MAX, INT_MAX},
         {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
         {INT_MAX, INT_MAX}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitClientSize(c.stored, kMinimum, kFrame, c.screen), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace files
