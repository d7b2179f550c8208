#include "model/animation_set.h"

#include "model/part_table.h"

namespace model {

namespace {
bool ValidKey(int keyNumber) {
    return keyNumber >= 1 && keyNumber <= kMaxKeys;
}
}  // namespace

void AnimationSet::StoreKey(int keyNumber, PartTable& parts) {
    if (!ValidKey(keyNumber)) return;
    const int k = keyNumber - 1;
    for (int i = 0; i < kMaxParts; ++i) {
        keyOrientation[k][i] = parts.node[i].GetOrientation();
        keyPosition[k][i] = parts.node[i].GetPosition();
    }
}

void AnimationSet::FetchKey(int keyNumber, PartTable& parts) const {
    if (!ValidKey(keyNumber)) return;
    const int k = keyNumber - 1;
    for (int i = 0; i < kMaxParts; ++i) {
        parts.node[i].SetOrientation(keyOrientation[k][i]);
        parts.node[i].SetPosition(keyPosition[k][i]);
    }
}

void AnimationSet::SetFrameCount(int keyNumber, std::int16_t count) {
    if (ValidKey(keyNumber)) frameCount[keyNumber - 1] = count;
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
