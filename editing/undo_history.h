#pragma once
// Takes back drag edits of single parts: a bounded stack of part poses, each as it was just
// before a drag began. When full, a new entry forgets the oldest. Part indices in entries are
// never renumbered: after a structural edit an entry applies to the part that then has its
// index.

#include <array>
#include <cstdint>

#include "editing/part_scene.h"
#include "gfx/math/math_types.h"
#include "model/limits.h"

namespace editing {

inline constexpr int kUndoCapacity = 50;

class UndoHistory {
  public:
    // Records the part's live pose (get-orientation, get-position) as the newest entry. A part
    // index outside the table's slots records nothing.
    void Push(model::PartIndex part, const PartScene& scene);
    // Puts the newest entry's orientation, then its position, back on its part and forgets the
    // entry. False, changing nothing, when the history is empty.
    bool Pop(PartScene& scene);
    void Clear() { top_ = -1; }
    bool CanUndo() const { return top_ >= 0; }
    int size() const { return top_ + 1; }

  private:
    // Entry 0 is the oldest; top_ the newest, -1 when empty.
    std::array<model::PartIndex, kUndoCapacity> entryPart_{};
    std::array<gfx::Quat, kUndoCapacity> entryOrientation_{};
    std::array<gfx::Vec3, kUndoCapacity> entryPosition_{};
    std::int16_t top_ = -1;
};

}  // namespace editing
