#include <gtest/gtest.h>
#include <linux/input.h>

#include <climits>
#include <vector>

#include "framework/platform/game_controllers.h"
#include "framework/platform/input_devices.h"
#include "framework/platform/input_state.h"
#include "tests/framework/log_capture.h"

namespace framework {
namespace {

// The phase as its number (0 up, 1 released, 2 pressed, 3 held), for tables of polls; any int
// as the button, so that values outside the four buttons are tried too.
int ButtonState(const InputState& state, int button) {
    return static_cast<int>(MouseButtonState(state, static_cast<MouseButton>(button)));
}

using testing_support::LogCapture;

// The recorded events of the real class; the cursor and the window are the test's.
class FakeSource : public RecordedInputEvents {
  public:
    PixelPoint CursorOnScreen() const override { return cursor; }
    void MoveCursorOnScreen(PixelPoint point) override { cursorMoves.push_back(point); }
    ClientArea MainClientArea() const override { return client; }

    PixelPoint cursor;
    ClientArea client{{100, 50}, 640, 480};
    std::vector<PixelPoint> cursorMoves;
};

class PollTest : public testing::Test {
  protected:
    void Poll(bool windowed = true) {
        PollInput(state, source, windowed, [this] { ++closeRequests; });
    }
    FakeSource source;
    InputState state;
    int closeRequests = 0;
};

TEST_F(PollTest, ButtonStatesFollowTheLastTwoPolls) {
    Poll();
    EXPECT_EQ(ButtonState(state, 0), 0);
    source.OnMouseButton(0, true);
    source.OnMouseButton(3, true);
    Poll();
    EXPECT_EQ(ButtonState(state, 0), 2) << "pressed in this frame";
    EXPECT_EQ(ButtonState(state, 3), 2) << "the fourth button";
    EXPECT_EQ(ButtonState(state, 1), 0);
    Poll();
    EXPECT_EQ(ButtonState(state, 0), 3) << "held";
    source.OnMouseButton(0, false);
    source.OnMouseButton(2, true);
    Poll();
    EXPECT_EQ(ButtonState(state, 0), 1) << "released in this frame";
    EXPECT_EQ(ButtonState(state, 2), 2);
    Poll();
    EXPECT_EQ(ButtonState(state, 0), 0);
    EXPECT_EQ(ButtonState(state, 4), 0);
    EXPECT_EQ(ButtonState(state, -1), 0);
}

TEST_F(PollTest, PressesAndReleasesBetweenTwoPollsAreReadOnePerPoll) {
    // Each string is the events before each poll ('d' down, 'u' up, '.' none); the states are
    // what the polls read for the left button (0 up, 2 pressed, 3 held, 1 released).
    const struct {
        std::vector<const char*> events;
        std::vector<int> states;
    } cases[] = {
        {{"du", ".", "."}, {2, 1, 0}},            // a quick click
        {{"d", "ud", ".", "u"}, {2, 1, 2, 1}},    // released and pressed again between polls
        {{"dudu", ".", ".", "."}, {2, 1, 2, 1}},  // two quick clicks
        {{"dududududu", ".", ".", ".", "."}, {2, 1, 2, 1, 0}},  // more collapse in pairs
        {{"d", "u", "d"}, {2, 1, 2}},                           // held ones as before
        {{"uu", "dd"}, {0, 2}},                                 // repeats change nothing
    };
    for (const auto& c : cases) {
        FakeSource clicks;
        InputState read;
        std::vector<int> states;
        std::size_t poll = 0;
        for (; poll < c.states.size(); ++poll) {
            const char* events = poll < c.events.size() ? c.events[poll] : ".";
            for (const char* e = events; *e != '\0'; ++e) {
                if (*e != '.') clicks.OnMouseButton(0, *e == 'd');
            }
            PollInput(read, clicks, true, {});
            states.push_back(ButtonState(read, 0));
        }
        EXPECT_EQ(states, c.states) << c.events[0];
    }
}

TEST_F(PollTest, AQuickClickIsTakenWhereItHappenedAndAQuickEscapeIsSeen) {
    source.cursor = {400, 300};
    source.OnMouseButton(0, true, PixelPoint{150, 80});
    source.OnMouseButton(0, false, PixelPoint{150, 80});
    source.OnEscape(true);
    source.OnEscape(false);
    Poll();
    EXPECT_EQ(ButtonState(state, 0), 2);
    EXPECT_EQ(state.cursor, (PixelPoint{50, 30})) << "the press's point in client coordinates";
    EXPECT_TRUE(state.escapeDown);
    EXPECT_EQ(closeRequests, 1);
    Poll();
    EXPECT_EQ(ButtonState(state, 0), 1);
    EXPECT_EQ(state.cursor, (PixelPoint{300, 250})) << "then the cursor as it is";
    EXPECT_FALSE(state.escapeDown);
    EXPECT_EQ(closeRequests, 1);
    // Focus lost forgets what was kept.
    source.OnMouseButton(0, true);
    source.OnMouseButton(0, false);
    source.OnFocusLost();
    Poll();
    EXPECT_EQ(ButtonState(state, 0), 0);
}

TEST_F(PollTest, OnlyEscapeInTheViewAsksToCloseAndASpentEscapeNoMore) {
    source.OnEscape(true, false);  // in a tool panel
    Poll();
    EXPECT_TRUE(state.escapeDown);
    EXPECT_EQ(closeRequests, 0);
    source.OnEscape(false, false);
    Poll();
    source.OnEscape(true, true);  // in the view
    Poll();
    EXPECT_EQ(closeRequests, 1);
    state.escapeSpent = true;  // it cancelled a drag: held on, it ends nothing
    Poll();
    EXPECT_EQ(closeRequests, 1);
    source.OnEscape(false, true);
    Poll();
    EXPECT_FALSE(state.escapeSpent);
    source.OnEscape(true, true);
    Poll();
    EXPECT_EQ(closeRequests, 2);
}

TEST_F(PollTest, AfterClearingAHeldButtonReadsAsPressedAgain) {
    source.OnMouseButton(0, true);
    Poll();
    Poll();
    ASSERT_EQ(ButtonState(state, 0), 3);
    ClearInputState(state);
    Poll();
    EXPECT_EQ(ButtonState(state, 0), 2);
}

TEST_F(PollTest, WindowedCursorIsInClientCoordinatesClampedToTheClientSizeIncluded) {
    const auto sampled = [&](int x, int y) {
        source.cursor = {x, y};
        Poll();
        return state.cursor;
    };
    EXPECT_EQ(sampled(420, 290), (PixelPoint{320, 240}));
    EXPECT_EQ(sampled(99, 49), (PixelPoint{0, 0}));
    EXPECT_EQ(sampled(-5000, 300), (PixelPoint{0, 250}));
    EXPECT_EQ(sampled(739, 529), (PixelPoint{639, 479}));
    EXPECT_EQ(sampled(741, 531), (PixelPoint{640, 480})) << "the width itself, not width - 1";
    EXPECT_EQ(sampled(INT_MAX, INT_MIN), (PixelPoint{640, 0}));
    EXPECT_EQ(state.screenCursor, (PixelPoint{INT_MAX, INT_MIN})) << "the drags' cursor";

    source.cursor = {-5, 5000};
    Poll(/*windowed=*/false);
    EXPECT_EQ(state.cursor, (PixelPoint{-5, 5000}))
        << "full-screen: screen coordinates as they are";
}

TEST_F(PollTest, WheelMovementAddsUpUntilThePollThatReportsIt) {
    source.OnWheel(kWheelNotch);
    source.OnWheel(kWheelNotch);
    source.OnWheel(-kWheelNotch);
    Poll();
    EXPECT_EQ(state.wheel, 120);
    Poll();
    EXPECT_EQ(state.wheel, 0);
}

TEST_F(PollTest, EscapeAsksToCloseInEveryPollWhileItIsDownUntilReleasedOrFocusLost) {
    Poll();
    EXPECT_EQ(closeRequests, 0);
    source.OnEscape(true);
    Poll();
    EXPECT_EQ(closeRequests, 1);
    Poll();
    EXPECT_EQ(closeRequests, 2);
    source.OnEscape(false);
    Poll();
    EXPECT_EQ(closeRequests, 2);
    // A release missed while another program had the keyboard must not keep closing.
    source.OnEscape(true);
    source.OnFocusLost();
    Poll();
    EXPECT_EQ(closeRequests, 2);
}

// Capability bitmaps as the kernel fills them.
std::vector<unsigned long> Bits(std::initializer_list<int> set, int maxBit) {
    constexpr int kWordBits = static_cast<int>(sizeof(unsigned long) * 8);
    std::vector<unsigned long> words(static_cast<std::size_t>(maxBit / kWordBits + 1));
    for (const int bit : set)
        words[static_cast<std::size_t>(bit / kWordBits)] |= 1UL << (bit % kWordBits);
    return words;
}

TEST(GameControllerTest, ControllersAreTheDevicesWithJoystickOrGamepadButtons) {
    const auto keyType = Bits({EV_SYN, EV_KEY, EV_ABS}, EV_MAX);
    const auto isController = [&](std::initializer_list<int> keys) {
        return ReportsControllerButtons(keyType, Bits(keys, KEY_MAX));
    };
    EXPECT_TRUE(isController({BTN_SOUTH, BTN_EAST}));
    EXPECT_TRUE(isController({BTN_TRIGGER}));
    EXPECT_TRUE(isController({KEY_A, BTN_THUMBR}));
    EXPECT_FALSE(isController({BTN_LEFT, BTN_RIGHT, BTN_TASK})) << "a mouse";
    EXPECT_FALSE(isController({KEY_A, KEY_ESC, BTN_THUMBR + 1}));
    EXPECT_FALSE(ReportsControllerButtons(Bits({EV_ABS}, EV_MAX), Bits({BTN_SOUTH}, KEY_MAX)))
        << "buttons count only with key events";
    EXPECT_FALSE(ReportsControllerButtons(keyType, Bits({1}, 1))) << "a short key bitmap";
}

class FakeDevices : public EventDeviceAccess {
  public:
    struct Device {
        bool opens;
        bool controller;
    };
    explicit FakeDevices(std::vector<Device> list) : list_(std::move(list)) {}
    std::vector<std::string> DevicePaths() override {
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < list_.size(); ++i) paths.push_back(std::to_string(i));
        return paths;
    }
    // Descriptor = 100 + the device's index.
    int Open(const std::string& path) override {
        const auto i = std::stoul(path);
        if (!list_[i].opens) return -1;
        open.push_back(static_cast<int>(100 + i));
        return open.back();
    }
    bool IsController(int descriptor) override {
        return list_[static_cast<std::size_t>(descriptor - 100)].controller;
    }
    void Close(int descriptor) override { closed.push_back(descriptor); }

    std::vector<int> open, closed;

  private:
    std::vector<Device> list_;
};

TEST(GameControllerTest, UpToEightControllersAreOpenedInDeviceOrderAndClosedOnce) {
    std::vector<FakeDevices::Device> list = {{true, false}, {false, true}};  // keyboard, locked
    for (int i = 0; i < 10; ++i) list.push_back({true, true});
    FakeDevices devices(list);
    LogCapture log;
    GameControllers controllers;
    OpenControllers(controllers, devices);

    EXPECT_EQ(controllers.count, 8);
    for (int slot = 0; slot < 8; ++slot) EXPECT_EQ(controllers.descriptors[slot], 102 + slot);
    EXPECT_EQ(devices.closed, std::vector<int>{100}) << "the keyboard is closed at once";
    EXPECT_EQ(devices.open.size(), 9u) << "the ninth and tenth controller are not opened";
    EXPECT_EQ(log.Text(), "ジョイスティック数 = 8\n");

    devices.closed.clear();
    CloseControllers(controllers, devices);
    CloseControllers(controllers, devices);
    EXPECT_EQ(devices.closed, (std::vector<int>{102, 103, 104, 105, 106, 107, 108, 109}));

    FakeDevices none({{true, false}, {false, false}});
    log.Clear();
    OpenControllers(controllers, none);
    EXPECT_EQ(controllers.count, 0);
    EXPECT_EQ(log.Text(), "") << "no controller, no log line";
}

TEST(InputDevicesTest, StartAndStopLogTheirLinesAndCentreTheCursor) {
    FakeSource source;
    FakeDevices devices({{true, true}});
    LogCapture log;
    ASSERT_TRUE(InitDirectInput(source, /*windowed=*/true, devices));
    EXPECT_EQ(source.cursorMoves, (std::vector<PixelPoint>{{420, 290}}));

    source.OnMouseButton(1, true);
    source.OnEscape(true);
    int closeRequests = 0;
    InputState state;
    PollInput(state, [&] { ++closeRequests; });
    EXPECT_EQ(MouseButtonState(state, MouseButton::kRight), ButtonPhase::kPressed);
    EXPECT_EQ(closeRequests, 1);

    FreeInput();
    source.OnMouseButton(1, false);
    PollInput(state, [&] { ++closeRequests; });
    EXPECT_EQ(closeRequests, 1) << "nothing is sampled after FreeInput";
    EXPECT_EQ(MouseButtonState(state, MouseButton::kRight), ButtonPhase::kPressed);
    EXPECT_EQ(devices.closed, std::vector<int>{100});
    const std::string separator(kLogSeparator);
    EXPECT_EQ(log.Text(), separator + "InitDirectInput\n" + "ジョイスティック数 = 1\n" + separator +
                              "FreeInput\n");
}

}  // namespace
}  // namespace framework
