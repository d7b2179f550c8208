#include "panels/tool_panels.h"

#include <memory>
#include <utility>

namespace panels {

ToolPanels::ToolPanels(app::Session& session, files::SettingsFile settings,
                       app::ChooseFile chooseFile, framework::GraphicsDevice* lightDevice)
    : session_(session),
      settings_(std::move(settings)),
      chooseFile_(std::move(chooseFile)),
      lightDevice_(lightDevice) {}

ToolPanels::~ToolPanels() {
    // Never leave the session holding an observer that is gone.
    if (part_ != nullptr || animation_ != nullptr || material_ != nullptr) {
        session_.SetPanelObserver(nullptr);
    }
}

namespace {

// Makes and opens a panel that is not open yet.
template <typename Panel, typename... Args>
void OpenOnce(std::unique_ptr<Panel>& panel, Args&&... args) {
    if (panel != nullptr) return;
    panel = std::make_unique<Panel>(std::forward<Args>(args)...);
    panel->Open();
}

template <typename Panel>
void CloseOpen(std::unique_ptr<Panel>& panel) {
    if (panel == nullptr) return;
    panel->Close();
    panel.reset();
}

}  // namespace

// Opened in this order and closed in the same order: the Material panel last both times.
void ToolPanels::ShowPanels() {
    OpenOnce(part_, session_, settings_, chooseFile_);
    OpenOnce(handling_, session_, settings_);
    if (lightDevice_ != nullptr) OpenOnce(lighting_, session_, settings_, *lightDevice_);
    OpenOnce(animation_, session_, settings_, chooseFile_);
    OpenOnce(material_, session_, settings_);
    session_.SetPanelObserver(this);
}

void ToolPanels::ClosePanels() {
    CloseOpen(part_);
    CloseOpen(handling_);
    CloseOpen(lighting_);
    CloseOpen(animation_);
    CloseOpen(material_);
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

void ToolPanels::KeyShown(int keyNumber) {
    if (animation_ != nullptr) animation_->ShowKey(keyNumber);
}

void ToolPanels::StoreMaterialSettings() {
    if (material_ != nullptr) material_->StoreSettings();
}

void ToolPanels::MaterialListChanged() {
    if (material_ != nullptr) material_->RebuildList();
}

}  // namespace panels
