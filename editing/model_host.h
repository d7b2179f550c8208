#pragma once
// What the model needs of the editor around it, reached through this small interface so that
// the model runs and is tested without any window: the selection, the notice box, and what the
// tool panels are told of the model's changes (the part tree, Undo and Redo, the meshes).

#include <string_view>

#include "model/limits.h"
#include "model/part_table.h"

namespace editing {

class ModelHost {
  public:
    virtual ~ModelHost() = default;
    virtual model::PartIndex SelectedPart() const = 0;
    virtual void SetSelectedPart(model::PartIndex part) = 0;
    // The one notice box: a message box in the editor, a line on standard error headless.
    virtual void ShowMessage(std::string_view text) = 0;
    // The part tree changed its structure (open, close, add, delete): the part panel rebuilds
    // its tree, with nothing selected; with `scaleChanged` (a file was opened) it also shows the
    // table's scale.
    virtual void PartTreeChanged(const model::PartTable& parts, bool scaleChanged) = 0;
    // Undo or Redo became possible or not: their buttons follow.
    virtual void HistoryChanged(bool canUndo, bool canRedo) = 0;
    // Undo, Redo or a cancelled edit put back a whole state: what shows the keys' frame counts
    // and, with `scaleChanged`, the scale, shows them again.
    virtual void EditRestored(bool scaleChanged) = 0;
    // The set of loaded meshes changed: the material panel rebuilds its list.
    virtual void MeshesChanged() = 0;
};

}  // namespace editing
