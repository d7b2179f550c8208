#pragma once
// The "Material Panel": the list of the loaded meshes' base diffuse colours with the
// replacement chosen for each, three track bars (red, green, blue, 0 .. 1000 for 0.000 ..
// 1.000) with their value labels, a step down and a step up for each, and "Reset(&R)". A
// selected row's replacement follows the track bars when a change of them ends; the list and
// its values live in the session (app/core/material_list.h), which the panel only shows.

#include <array>

#include "app/core/session.h"
#include "panels/tool_panel.h"

class QLabel;
class QPushButton;
class QSlider;
class QTableWidget;

namespace panels {

inline constexpr std::string_view kMaterialPanelCaption = "Material Panel";
inline constexpr int kMaterialPanelWidth = 186;   // dialog units
inline constexpr int kMaterialPanelHeight = 164;  // dialog units
inline constexpr int kMaterialColumnPixels = 40;

class MaterialPanel : public ToolPanel {
  public:
    MaterialPanel(app::Session& session, files::SettingsFile settings);
    ~MaterialPanel() override;

    // The meshes changed: the list is made afresh from them.
    void RebuildList();
    // The replacements of the listed rows go into the settings file.
    void StoreSettings();
    // Stores the replacements, then closes as every panel does.
    void Close();

    QTableWidget* list() const { return list_; }
    QSlider* slider(int channel) const { return sliders_[channel]; }
    QLabel* valueLabel(int channel) const { return labels_[channel]; }
    QPushButton* stepDown(int channel) const { return down_[channel]; }
    QPushButton* stepUp(int channel) const { return up_[channel]; }
    QPushButton* resetButton() const { return reset_; }

  private:
    void BuildControls();
    // Shows the session's rows, selection, track bars and labels.
    void ShowList();
    void ShowSliders();
    // A written change of the selected row: its cells, the labels, and its stored replacement.
    void ShowAppliedChange();

    app::Session& session_;
    QTableWidget* list_ = nullptr;
    std::array<QSlider*, 3> sliders_{};
    std::array<QLabel*, 3> labels_{};
    std::array<QPushButton*, 3> down_{};
    std::array<QPushButton*, 3> up_{};
    QPushButton* reset_ = nullptr;
};

}  // namespace panels
