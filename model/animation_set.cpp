#include "model/animation_set.h"

namespace model {

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

}  // namespace model
