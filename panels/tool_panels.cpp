#include "panels/tool_panels.h"

namespace panels {

ToolPanels::ToolPanels(app::Session& session, files::SettingsFile settings,
                       app::ChooseFile chooseFile)
    : session_(session), settings_(std::move(settings)), chooseFile_(std::move(chooseFile)) {}

ToolPanels::~ToolPanels() {
    // Never leave the session holding an observer that is gone.
    if (part_ != nullptr) session_.SetPanelObserver(nullptr);
}

void ToolPanels::ShowPanels() {
    if (part_ == nullptr) {
        part_ = std::make_unique<PartPanel>(session_, settings_, chooseFile_);
        part_->Open();
    }
    session_.SetPanelObserver(this);
}

void ToolPanels::ClosePanels() {
    if (part_ != nullptr) {
        part_->Close();
        part_.reset();
    }
    session_.SetPanelObserver(nullptr);
}

void ToolPanels::TreeRebuilt(const model::PartTable& parts, bool showScale) {
    if (part_ != nullptr) part_->RebuildTree(parts, showScale);
}

void ToolPanels::SelectionChanged(model::PartIndex /*selected*/) {
    if (part_ != nullptr) part_->TreeFromSelection();
}

void ToolPanels::UndoStateChanged(bool canUndo) {
    if (part_ != nullptr) part_->SetUndoEnabled(canUndo);
}

}  // namespace panels
