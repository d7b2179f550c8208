#pragma once
// Keys of the animation stored from and fetched into the live pose of every slot's node.

#include <span>

#include "editing/part_scene.h"
#include "model/animation_set.h"

namespace editing {

// Key numbers are 1..16 as the user sees them; any other does nothing. Positions are the
// nodes' GetPosition (parent-scaled units).
void StoreKey(model::AnimationSet& animation, int keyNumber, const PartScene& scene);
void FetchKey(const model::AnimationSet& animation, int keyNumber, PartScene& scene);
// As FetchKey, into any set of a slot's nodes (the view's onion skin poses copies).
void FetchKey(const model::AnimationSet& animation, int keyNumber,
              std::span<scene::TransformNode, model::kMaxParts> nodes);

}  // namespace editing
