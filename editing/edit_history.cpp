#include "editing/edit_history.h"

#include <cstring>
#include <utility>

namespace editing {

bool EditState::SameAs(const EditState& other) const {
    // Bits, not values: a pose holding a NaN is the same as itself.
    return document == other.document &&
           std::memcmp(local.data(), other.local.data(), sizeof local) == 0 &&
           std::memcmp(scale.data(), other.scale.data(), sizeof scale) == 0;
}

void EditHistory::Record(std::unique_ptr<EditState> before, StepKind kind) {
    redo_.clear();
    const bool joins = kind == StepKind::kScaleTyping && joinable_ && !undo_.empty();
    joinable_ = kind == StepKind::kScaleTyping;
    if (joins) return;
    if (undo_.size() == kHistoryCapacity) undo_.pop_front();
    undo_.push_back(std::move(before));
}

std::unique_ptr<EditState> EditHistory::TakeUndo(std::unique_ptr<EditState> current) {
    joinable_ = false;
    if (undo_.empty()) return nullptr;
    std::unique_ptr<EditState> state = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(std::move(current));
    return state;
}

std::unique_ptr<EditState> EditHistory::TakeRedo(std::unique_ptr<EditState> current) {
    joinable_ = false;
    if (redo_.empty()) return nullptr;
    std::unique_ptr<EditState> state = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(std::move(current));
    return state;
}

void EditHistory::Clear() {
    undo_.clear();
    redo_.clear();
    joinable_ = false;
}

}  // namespace editing
