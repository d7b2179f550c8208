#pragma once
// The open document as the two files hold it: the part table and its animation. Plain data with
// value equality, so that whether anything worth saving changed is one comparison.

#include "model/animation_set.h"
#include "model/part_table.h"

namespace model {

struct Document {
    PartTable parts;
    AnimationSet animation;

    friend bool operator==(const Document&, const Document&) = default;
};

}  // namespace model
