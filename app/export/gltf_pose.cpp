#include "app/export/gltf_pose.h"

#include <algorithm>

#include "gfx/math/math.h"

namespace app {

gfx::Vec3 MirrorZ(gfx::Vec3 v) {
    return {v.x, v.y, -v.z};
}

gfx::Quat MirrorZ(gfx::Quat q) {
    return {-q.x, -q.y, q.z, q.w};
}

NodeTransform CurrentTransform(const scene::TransformNode& node) {
    return {{node.local.m[3][0], node.local.m[3][1], node.local.m[3][2]},
            node.GetOrientation(),
            node.scale};
}

gfx::Vec3 KeyTranslation(const editing::PartScene& scene, const model::AnimationSet& animation,
                         int part, int key) {
    const gfx::Vec3 p = animation.keyPosition[key][part];
    const scene::TransformNode* parent = scene.node[part].parent;
    return parent != nullptr ? p * (1.0f / parent->CombinedScale()) : p;
}

std::vector<LoopSample> LoopSamples(const model::AnimationSet& animation) {
    std::vector<LoopSample> samples;
    if (animation.frameCount[0] <= 0) return samples;
    int keys = 0;
    while (keys < model::kMaxKeys && animation.frameCount[keys] != 0) ++keys;
    // The key whose pose the parts hold once key k's segment is over.
    std::vector<int> reached(keys);
    for (int k = 0; k < keys; ++k) {
        reached[k] = animation.frameCount[k] > 0 ? k : reached[k - 1];
    }
    int frame = 0;
    for (int k = 0; k < keys; ++k) {
        samples.push_back({frame, k == 0 ? reached[keys - 1] : reached[k - 1]});
        const int n = animation.frameCount[k];
        if (n > 0) samples.push_back({frame + n, k});
        frame += std::max(n, 0) + 1;
    }
    samples.push_back({frame, reached[keys - 1]});
    return samples;
}

}  // namespace app
