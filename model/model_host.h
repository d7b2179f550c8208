#pragma once
// What the model needs of the editor around it, reached through this small interface so that
// the model runs and is tested without any window: the selection, the notice box, the part
// panel's tree, and the undo history.

#include <string_view>

#include "model/limits.h"

namespace model {

class PartTable;

class ModelHost {
public:
    virtual ~ModelHost() = default;
    virtual PartIndex SelectedPart() const = 0;
    virtual void SetSelectedPart(PartIndex part) = 0;
    // The one notice box: a message box in the editor, a line on standard error headless.
    virtual void ShowMessage(std::string_view text) = 0;
    // The part tree changed its structure: the part panel rebuilds its tree and shows the scale.
    virtual void PartTreeChanged(const PartTable& parts) = 0;
    virtual void ClearUndoHistory() = 0;
};

}  // namespace model
