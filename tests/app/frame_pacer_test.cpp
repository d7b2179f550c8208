#include "app/core/frame_pacer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A clock that only moves when told to: by the test (a frame's work) or by a sleep.
class FakeClock : public app::PacerClock {
  public:
    explicit FakeClock(std::uint32_t start) : now(start) {}
    std::uint32_t NowMilliseconds() override { return now; }
    void SleepMilliseconds(std::uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    }
    std::uint32_t now;
    std::vector<std::uint32_t> sleeps;
};

// Runs one frame whose work takes `workMs`, returns what the pacer slept (0 = no sleep).
std::uint32_t RunFrame(FakeClock& clock, app::FramePacer& pacer, std::uint32_t workMs) {
    clock.now += workMs;
    const std::size_t before = clock.sleeps.size();
    pacer.Wait();
    return clock.sleeps.size() > before ? clock.sleeps.back() : 0;
}

TEST(FramePacer, ALongFrameIsCaughtUpWithinTheCycle) {
    FakeClock clock(1000);
    app::FramePacer pacer(clock);
    pacer.Start();
    // Frame 1 takes 100 ms: the schedule of frames 1 to 3 (33, 66, 99 ms) has already passed.
    EXPECT_EQ(RunFrame(clock, pacer, 100), 0u);
    EXPECT_EQ(RunFrame(clock, pacer, 5), 0u);   // 105 ms against 66
    EXPECT_EQ(RunFrame(clock, pacer, 5), 0u);   // 110 ms against 99
    EXPECT_EQ(RunFrame(clock, pacer, 5), 17u);  // 115 ms against 132: back on schedule
    EXPECT_EQ(RunFrame(clock, pacer, 5), 28u);  // 137 ms against 165
}

TEST(FramePacer, EveryThirtyFramesTheScheduleRestartsFromNow) {
    FakeClock clock(1000);
    app::FramePacer pacer(clock);
    pacer.Start();
    for (int frame = 1; frame <= 28; ++frame) RunFrame(clock, pacer, 0);
    EXPECT_EQ(clock.now, 1000u + 28 * 33);
    // Frame 29 is 200 ms late; frame 30 ends the cycle without sleeping.
    EXPECT_EQ(RunFrame(clock, pacer, 233), 0u);
    EXPECT_EQ(RunFrame(clock, pacer, 0), 0u);
    EXPECT_EQ(pacer.cycleFrame, 0u);
    EXPECT_EQ(pacer.cycleStart, clock.now);
    // The lateness is dropped: the new cycle's first frame gets its full 33 ms again.
    EXPECT_EQ(RunFrame(clock, pacer, 3), 30u);
}

TEST(FramePacer, TheCycleEndsAfterItsSleepWasMeasured) {
    FakeClock clock(0);
    app::FramePacer pacer(clock);
    pacer.Start();
    for (int frame = 1; frame <= 29; ++frame) RunFrame(clock, pacer, 0);
    // Frame 30 still sleeps its slot; the next cycle starts from the time read before the sleep,
    // so a frame right after it is already due.
    EXPECT_EQ(RunFrame(clock, pacer, 0), 33u);
    EXPECT_EQ(pacer.cycleStart, 29u * 33);
    EXPECT_EQ(RunFrame(clock, pacer, 0), 0u);
}

TEST(FramePacer, TheScheduleHoldsAcrossTheClockWrapping) {
    FakeClock clock(0xFFFFFFF0u);  // 16 ms before the 32-bit tick count wraps
    app::FramePacer pacer(clock);
    pacer.Start();
    EXPECT_EQ(RunFrame(clock, pacer, 20), 13u);
    EXPECT_EQ(RunFrame(clock, pacer, 10), 23u);  // 43 ms elapsed against 66
}

}  // namespace
