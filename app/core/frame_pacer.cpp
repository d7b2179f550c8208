#include "app/core/frame_pacer.h"

#include <chrono>
#include <thread>

namespace app {

std::uint32_t SystemPacerClock::NowMilliseconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<std::uint32_t>(ms);  // wraps as a 32-bit tick count does
}

void SystemPacerClock::SleepMilliseconds(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void FramePacer::Start() {
    frameInterval = 33;
    cycleLength = 30;
    cycleFrame = 0;
    cycleStart = clock_.NowMilliseconds();
}

void FramePacer::Wait() {
    cycleFrame += 1;
    const std::uint32_t now = clock_.NowMilliseconds();
    const std::uint32_t elapsed = now - cycleStart;  // unsigned: correct across a wrap
    const std::uint32_t due = frameInterval * cycleFrame;
    if (elapsed < due) clock_.SleepMilliseconds(due - elapsed);
    if (cycleFrame == cycleLength) {
        cycleStart = now;
        cycleFrame = 0;
    }
}

}  // namespace app
