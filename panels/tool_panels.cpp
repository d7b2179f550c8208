#include "panels/tool_panels.h"

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

void ToolPanels::ShowPanels() {
    if (part_ == nullptr) {
        part_ = std::make_unique<PartPanel>(session_, settings_, chooseFile_);
        part_->Open();
    }
    if (handling_ == nullptr) {
        handling_ = std::make_unique<HandlingPanel>(session_, settings_);
        handling_->Open();
    }
    if (lighting_ == nullptr && lightDevice_ != nullptr) {
        lighting_ = std::make_unique<LightingPanel>(session_, settings_, *lightDevice_);
        lighting_->Open();
    }
    if (animation_ == nullptr) {
        animation_ = std::make_unique<AnimationPanel>(session_, settings_, chooseFile_);
        animation_->Open();
    }
    if (material_ == nullptr) {
        material_ = std::make_unique<MaterialPanel>(session_, settings_);
        material_->Open();
    }
    session_.SetPanelObserver(this);
}

void ToolPanels::ClosePanels() {
    if (part_ != nullptr) {
        part_->Close();
        part_.reset();
    }
    if (handling_ != nullptr) {
        handling_->Close();
        handling_.reset();
    }
    if (lighting_ != nullptr) {
        lighting_->Close();
        lighting_.reset();
    }
    if (animation_ != nullptr) {
        animation_->Close();
        animation_.reset();
    }
    if (material_ != nullptr) {
        material_->Close();
        material_.reset();
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
