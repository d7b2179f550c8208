#pragma once
// Poses as glTF wants them: node transforms in a right-handed frame, and the key samples of the
// editor's playback loop.
//
// The editor's frame is left-handed (+Y up, +Z into the screen), glTF's right-handed (+Y up,
// +Z out of the screen). Mirroring Z (S = diag(1, 1, -1)) keeps the picture: a point p becomes
// p S, a rotation R becomes S R S, which for a quaternion (x, y, z, w) is (-x, -y, z, w).

#include <vector>

#include "editing/part_scene.h"
#include "gfx/math/math_types.h"
#include "model/animation_set.h"
#include "scene/transform_node.h"

namespace app {

inline constexpr float kGltfFramesPerSecond = 30.0f;

gfx::Vec3 MirrorZ(gfx::Vec3 v);
gfx::Quat MirrorZ(gfx::Quat q);

// A node's local transform in glTF's composition, translation * rotation * scale (column
// vectors), still in the editor's frame.
struct NodeTransform {
    gfx::Vec3 translation;
    gfx::Quat rotation;
    float scale = 1.0f;
};

// The node as it stands: its position row, its orientation and its own scale.
NodeTransform CurrentTransform(const scene::TransformNode& node);

// The local translation of part `part` at key `key`: keys hold positions in parent-scaled units
// (TransformNode::GetPosition), the node stores them divided by its parent's combined scale.
gfx::Vec3 KeyTranslation(const editing::PartScene& scene, const model::AnimationSet& animation,
                         int part, int key);

// One sample of the loop: at `frame`, every part holds key `key`'s pose.
struct LoopSample {
    int frame = 0;
    int key = 0;
    friend bool operator==(const LoopSample&, const LoopSample&) = default;
};

// The samples of playback's steady loop, linear between neighbours. The segment of key k lasts
// n_k + 1 frames: it starts at the pose the previous key reached (for key 0 the pose the last
// key in use reached, as the loop comes round), reaches key k after n_k frames and holds it for
// one more; a key with a negative count is never reached, its segment holds for one frame. The
// last sample (the loop's length) repeats the first. Empty when key 0 has no frames, as then
// playback never starts.
std::vector<LoopSample> LoopSamples(const model::AnimationSet& animation);

}  // namespace app
