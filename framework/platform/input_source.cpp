#include "framework/platform/input_source.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace framework {

void KeptChanges::Change(bool down, std::optional<PixelPoint> at) {
    now_ = down;
    const bool last = count_ > 0 ? kept_[static_cast<std::size_t>(count_ - 1)].down : read_;
    if (down == last) return;
    if (count_ == kKept) {
        // This change undoes the last one kept: both go, and the state is as before that one.
        --count_;
        return;
    }
    kept_[static_cast<std::size_t>(count_++)] = {down, down ? at : std::nullopt};
}

bool KeptChanges::Take(std::optional<PixelPoint>* pressedAt) {
    if (pressedAt != nullptr) pressedAt->reset();
    if (count_ == 0) return read_;
    const Kept next = kept_[0];
    std::move(kept_.begin() + 1, kept_.begin() + count_, kept_.begin());
    --count_;
    read_ = next.down;
    if (pressedAt != nullptr && next.down) *pressedAt = next.at;
    return read_;
}

void KeptChanges::Reset() {
    count_ = 0;
    now_ = false;
    read_ = false;
}

void RecordedInputEvents::OnMouseButton(int index, bool down, std::optional<PixelPoint> at) {
    if (index < 0 || index >= kMouseButtonCount) return;
    buttons_[static_cast<std::size_t>(index)].Change(down, at);
}

std::array<bool, kMouseButtonCount> RecordedInputEvents::ButtonsDown() const {
    std::array<bool, kMouseButtonCount> down{};
    for (std::size_t i = 0; i < down.size(); ++i) down[i] = buttons_[i].Now();
    return down;
}

InputEventSource::PolledButtons RecordedInputEvents::TakeButtons() {
    PolledButtons polled;
    for (std::size_t i = 0; i < polled.down.size(); ++i) {
        std::optional<PixelPoint> at;
        polled.down[i] = buttons_[i].Take(&at);
        // Of several presses read in one poll, the first button's point is the one used.
        if (at && !polled.pressedAt) polled.pressedAt = at;
    }
    return polled;
}

void RecordedInputEvents::OnWheel(int movement) {
    // Saturating: a flood of wheel events between two polls must not wrap round.
    const long long sum = static_cast<long long>(wheel_) + movement;
    wheel_ = static_cast<int>(std::clamp<long long>(sum, std::numeric_limits<int>::min(),
                                                    std::numeric_limits<int>::max()));
}

void RecordedInputEvents::OnEscape(bool down, bool inView) {
    if (down) escapeInView_ = inView;
    escape_.Change(down);
}

void RecordedInputEvents::OnFocusLost() {
    for (KeptChanges& button : buttons_) button.Reset();
    escape_.Reset();
}

int RecordedInputEvents::TakeWheelMovement() {
    return std::exchange(wheel_, 0);
}

}  // namespace framework
