#pragma once
// A model host that records what the model asked of the editor.

#include <string>
#include <vector>

#include "model/model_host.h"
#include "model/part_table.h"

namespace model::testing {

class FakeHost : public ModelHost {
  public:
    PartIndex selected = kNoPart;
    std::vector<std::string> messages;
    int treeRebuilds = 0;
    int meshChanges = 0;
    bool canUndo = false;

    PartIndex SelectedPart() const override { return selected; }
    void SetSelectedPart(PartIndex part) override { selected = part; }
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    void PartTreeChanged(const PartTable&, bool) override { ++treeRebuilds; }
    void UndoStateChanged(bool can) override { canUndo = can; }
    void MeshesChanged() override { ++meshChanges; }
};

}  // namespace model::testing
