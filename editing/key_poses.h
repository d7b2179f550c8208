#pragma once
// Keys of the animation stored from and fetched into the live pose of every slot's node.

#include "editing/part_scene.h"
#include "model/animation_set.h"

namespace editing {

// Key numbers are 1..16 as the user sees them; any other does nothing. Positions are the
// nodes' GetPosition (parent-scaled units).
void StoreKey(model::AnimationSet& animation, int keyNumber, const PartScene& scene);
void FetchKey(const model::AnimationSet& animation, int keyNumber, PartScene& scene);

}  // namespace editing
