#include "model/animation_set.h"

#include <algorithm>
#include <cstring>

namespace model {

namespace {
// What ClearAnimation leaves in every key.
constexpr struct {
    gfx::Quat orientation{};
    gfx::Vec3 position{};
} kCleared;
}  // namespace

void AnimationSet::SetFrameCount(int keyNumber, std::int16_t count) {
    if (ValidKeyNumber(keyNumber)) frameCount[keyNumber - 1] = count;
}

void AnimationSet::ClearAnimation() {
    for (auto& key : keyOrientation) key.fill(gfx::Quat{});
    for (auto& key : keyPosition) key.fill(gfx::Vec3{});
    frameCount.fill(0);
}

int AnimationSet::KeysInUse() const {
    int n = 0;
    while (n < kMaxKeys && frameCount[n] != 0) ++n;
    return n;
}

std::vector<int> AnimationSet::KeysPastTheEnd(int partCount) const {
    const int parts = std::clamp(partCount, 0, kMaxParts);
    std::vector<int> keys;
    for (int k = KeysInUse(); k < kMaxKeys; ++k) {
        bool held = frameCount[k] != 0;
        for (int i = 0; i < parts && !held; ++i) {
            // A key never set holds the cleared values; bits, so that -0 or a NaN counts.
            held =
                std::memcmp(&keyOrientation[k][i], &kCleared.orientation, sizeof(gfx::Quat)) != 0 ||
                std::memcmp(&keyPosition[k][i], &kCleared.position, sizeof(gfx::Vec3)) != 0;
        }
        if (held) keys.push_back(k + 1);
    }
    return keys;
}

}  // namespace model
