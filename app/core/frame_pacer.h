#pragma once
// Holds the main loop to a fixed frame rate: 33 ms per frame, scheduled in cycles of 30 frames.
// A late frame is caught up by running the following frames of the same cycle without sleeping;
// each new cycle starts its schedule from the current time, so lateness never carries further.

#include <cstdint>

namespace app {

// The millisecond clock and the sleep the pacer uses; tests replace both.
class PacerClock {
  public:
    virtual ~PacerClock() = default;
    // Milliseconds from an arbitrary origin; wraps around like a 32-bit tick count.
    virtual std::uint32_t NowMilliseconds() = 0;
    virtual void SleepMilliseconds(std::uint32_t milliseconds) = 0;
};

// The monotonic system clock and a real sleep.
class SystemPacerClock : public PacerClock {
  public:
    std::uint32_t NowMilliseconds() override;
    void SleepMilliseconds(std::uint32_t milliseconds) override;
};

class FramePacer {
  public:
    explicit FramePacer(PacerClock& clock) : clock_(clock) {}

    // Resets the schedule: a fresh cycle starting now.
    void Start();
    // Ends one frame: sleeps the rest of the frame's slot in the current cycle, if any is left.
    void Wait();

    std::uint32_t frameInterval = 33;
    std::uint32_t cycleLength = 30;
    std::uint32_t cycleFrame = 0;
    std::uint32_t cycleStart = 0;

  private:
    PacerClock& clock_;
};

}  // namespace app
