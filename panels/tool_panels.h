#pragma once
// The tool panels as one set: created and shown at the editor's start-up, closed at its
// shutdown, each in a fixed order, and told of the model's changes as the session's panel
// observer while they exist.

#include <memory>

#include "app/commands/part_panel_commands.h"
#include "app/core/session.h"
#include "app/core/tool_panels.h"
#include "files/settings/settings_file.h"
#include "panels/animation_panel.h"
#include "panels/handling_panel.h"
#include "panels/lighting_panel.h"
#include "panels/material_panel.h"
#include "panels/part_panel.h"

class QWindow;

namespace panels {

class ToolPanels : public app::PanelWindows, public app::PanelObserver {
  public:
    // Without `withLighting` (tests of the other panels) there is no Lighting panel. The panels
    // stay above `owner`, the main window, when there is one.
    ToolPanels(app::Session& session, files::SettingsFile settings, app::ChooseFile chooseFile,
               bool withLighting = false, QWindow* owner = nullptr);
    ~ToolPanels() override;

    // app::PanelWindows: creates each panel that does not exist yet at its stored position,
    // and becomes the session's observer.
    void ShowPanels() override;
    // Each panel stores its position and goes; the session is then no longer observed.
    void ClosePanels() override;
    files::StartWindows Windows() override;

    PartPanel* partPanel() const { return part_.get(); }
    HandlingPanel* handlingPanel() const { return handling_.get(); }
    LightingPanel* lightingPanel() const { return lighting_.get(); }
    AnimationPanel* animationPanel() const { return animation_.get(); }
    MaterialPanel* materialPanel() const { return material_.get(); }

    // app::PanelObserver
    void TreeRebuilt(const model::PartTable& parts, bool showScale) override;
    void SelectionChanged(model::PartIndex selected) override;
    void HistoryChanged(bool canUndo, bool canRedo) override;
    void ScaleChanged(float scale) override;
    void KeyShown(int keyNumber) override;
    void PlayingChanged(bool playing) override;
    void FrameStepsRan() override;
    void StoreMaterialSettings() override;
    void MaterialListChanged() override;

  private:
    app::Session& session_;
    files::SettingsFile settings_;
    app::ChooseFile chooseFile_;
    bool withLighting_ = false;
    QWindow* owner_ = nullptr;
    std::unique_ptr<HandlingPanel> handling_;
    std::unique_ptr<LightingPanel> lighting_;
    std::unique_ptr<PartPanel> part_;
    std::unique_ptr<AnimationPanel> animation_;
    std::unique_ptr<MaterialPanel> material_;
};

}  // namespace panels
