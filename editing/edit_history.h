#pragma once
// One history of the user's edits: every change of the document (part table, animation keys,
// scale) and of the live pose is a step that Undo takes back and Redo makes again. A step keeps
// the whole state before it, so each kind of edit is undone the same way and none has to say
// what it changed. At most kHistoryCapacity steps are kept each way; a new step forgets the
// oldest when full and empties the redo list.

#include <array>
#include <cstdint>
#include <deque>
#include <memory>

#include "gfx/math/math_types.h"
#include "model/document.h"
#include "model/limits.h"

namespace editing {

inline constexpr int kHistoryCapacity = 50;

// What a step restores: the document and every slot's node pose exactly (local matrix and
// scale), so that an undone edit reads back bit for bit.
struct EditState {
    model::Document document;
    std::array<gfx::Matrix, model::kMaxParts> local{};
    std::array<float, model::kMaxParts> scale{};

    // Same document and, bit for bit, the same node poses.
    bool SameAs(const EditState& other) const;
};

// How a step joins its neighbours: the scale box's changes while one is being typed make one step.
enum class StepKind : std::int8_t { kEdit, kScaleTyping };

class EditHistory {
  public:
    // Records `before`, the state an edit started from, as the newest step. A kScaleTyping step
    // right after another one that is still open joins it (the older state is kept).
    void Record(std::unique_ptr<EditState> before, StepKind kind);
    // The next step does not join the last one (the scale box was left).
    void Seal() { joinable_ = false; }
    // Undo: hands back the state to restore and keeps `current` for Redo; none when empty.
    std::unique_ptr<EditState> TakeUndo(std::unique_ptr<EditState> current);
    // Redo: likewise the other way.
    std::unique_ptr<EditState> TakeRedo(std::unique_ptr<EditState> current);
    void Clear();

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    int undoSize() const { return static_cast<int>(undo_.size()); }
    int redoSize() const { return static_cast<int>(redo_.size()); }

  private:
    std::deque<std::unique_ptr<EditState>> undo_;  // newest at the back
    std::deque<std::unique_ptr<EditState>> redo_;  // likewise
    bool joinable_ = false;
};

}  // namespace editing
