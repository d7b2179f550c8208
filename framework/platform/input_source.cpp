#include "framework/platform/input_source.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace framework {

void RecordedInputEvents::OnMouseButton(int index, bool down) {
    if (index < 0 || index >= kMouseButtonCount) return;
    buttons_[static_cast<std::size_t>(index)] = down;
}

void RecordedInputEvents::OnWheel(int movement) {
    // Saturating: a flood of wheel events between two polls must not wrap round.
    const long long sum = static_cast<long long>(wheel_) + movement;
    wheel_ = static_cast<int>(std::clamp<long long>(sum, std::numeric_limits<int>::min(),
                                                    std::numeric_limits<int>::max()));
}

void RecordedInputEvents::OnEscape(bool down) {
    escape_ = down;
}

void RecordedInputEvents::OnFocusLost() {
    buttons_ = {};
    escape_ = false;
}

int RecordedInputEvents::TakeWheelMovement() {
    return std::exchange(wheel_, 0);
}

}  // namespace framework
