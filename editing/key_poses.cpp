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
    FetchKey(animation, keyNumber, scene.node);
}

void FetchKey(const model::AnimationSet& animation, int keyNumber,
              std::span<scene::TransformNode, model::kMaxParts> nodes) {
    if (!model::ValidKeyNumber(keyNumber)) return;
    const int k = keyNumber - 1;
    for (int i = 0; i < model::kMaxParts; ++i) {
        nodes[i].SetOrientation(animation.keyOrientation[k][i]);
        nodes[i].SetPosition(animation.keyPosition[k][i]);
    }
}

}  // namespace editing
