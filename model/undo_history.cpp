#include "model/undo_history.h"

#include <algorithm>

namespace model {

void UndoHistory::Push(PartIndex part, const PartTable& parts) {
    if (part < 0 || part >= kMaxParts) return;
    if (top_ + 1 < kUndoCapacity) {
        ++top_;
    } else {
        // Full: drop the oldest by moving every other entry down one place.
        std::shift_left(entryPart_.begin(), entryPart_.end(), 1);
        std::shift_left(entryOrientation_.begin(), entryOrientation_.end(), 1);
        std::shift_left(entryPosition_.begin(), entryPosition_.end(), 1);
    }
    entryPart_[top_] = part;
    entryOrientation_[top_] = parts.node[part].GetOrientation();
    entryPosition_[top_] = parts.node[part].GetPosition();
}

bool UndoHistory::Pop(PartTable& parts) {
    if (top_ < 0) return false;
    scene::TransformNode& node = parts.node[entryPart_[top_]];
    node.SetOrientation(entryOrientation_[top_]);
    node.SetPosition(entryPosition_[top_]);
    --top_;
    return true;
}

}  // namespace model
