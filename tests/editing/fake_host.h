#pragma once
// A model host that records what the model asked of the editor.

#include <string>
#include <vector>

#include "editing/model_host.h"

namespace editing::testing {

class FakeHost : public ModelHost {
  public:
    model::PartIndex selected = model::kNoPart;
    std::vector<std::string> messages;
    int treeRebuilds = 0;
    int meshChanges = 0;
    bool canUndo = false;
    bool canRedo = false;
    int restores = 0;

    model::PartIndex SelectedPart() const override { return selected; }
    void SetSelectedPart(model::PartIndex part) override { selected = part; }
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    void PartTreeChanged(const model::PartTable&, bool) override { ++treeRebuilds; }
    void HistoryChanged(bool undo, bool redo) override {
        canUndo = undo;
        canRedo = redo;
    }
    void EditRestored(bool) override { ++restores; }
    void MeshesChanged() override { ++meshChanges; }
};

}  // namespace editing::testing
