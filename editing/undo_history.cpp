#include "editing/undo_history.h"

#include <algorithm>

namespace editing {

void UndoHistory::Push(model::PartIndex part, const PartScene& scene) {
    if (part < 0 || part >= model::kMaxParts) return;
    if (top_ + 1 < kUndoCapacity) {
        ++top_;
    } else {
        // Full: drop the oldest by moving every other entry down one place.
        std::shift_left(entryPart_.begin(), entryPart_.end(), 1);
        std::shift_left(entryOrientation_.begin(), entryOrientation_.end(), 1);
        std::shift_left(entryPosition_.begin(), entryPosition_.end(), 1);
    }
    entryPart_[top_] = part;
    entryOrientation_[top_] = scene.node[part].GetOrientation();
    entryPosition_[top_] = scene.node[part].GetPosition();
}

bool UndoHistory::Pop(PartScene& scene) {
    if (top_ < 0) return false;
    scene::TransformNode& node = scene.node[entryPart_[top_]];
    node.SetOrientation(entryOrientation_[top_]);
    node.SetPosition(entryPosition_[top_]);
    --top_;
    return true;
}

}  // namespace editing
