#include "editing/key_poses.h"

namespace editing {

void StoreKey(model::AnimationSet& animation, int keyNumber, const PartScene& scene) {
    if (!model::ValidKeyNumber(keyNumber)) return;
    const int k = keyNumber - 1;
    for (int i = 0; i < model::kMaxParts; ++i) {
        animation.keyOrientation[k][i] = scene.node[i].GetOrientation();
        animation.keyPosition[k][i] = scene.node[i].GetPosition();
    }
}

void FetchKey(const model::AnimationSet& animation, int keyNumber, PartScene& scene) {
    if (!model::ValidKeyNumber(keyNumber)) return;
    const int k = keyNumber - 1;
    for (int i = 0; i < model::kMaxParts; ++i) {
        scene.node[i].SetOrientation(animation.keyOrientation[k][i]);
        scene.node[i].SetPosition(animation.keyPosition[k][i]);
    }
}

}  // namespace editing
