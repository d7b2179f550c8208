#pragma once
// The "Part Panel": the tree of parts with a check box per part (unticked parts are neither
// drawn nor picked), the scale box, the Undo and Redo buttons, the Outline and Grid toggles, and a
// menu bar with the part-file commands, the pose edits and the structural edits. The widgets hold
// nothing of the editor's: every command runs on the session (app/commands/part_panel_commands.h)
// and the controls the frame reads change the session through app/core/editor_actions.h.

#include <QMenu>
#include <array>
#include <utility>
#include <vector>

#include "app/commands/part_panel_commands.h"
#include "app/core/session.h"
#include "model/limits.h"
#include "panels/tool_panel.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace panels {

inline constexpr std::string_view kPartPanelCaption = "Part Panel";
inline constexpr std::string_view kPartPanelSection = "MAIN_DIALOG";
inline constexpr int kPartPanelWidth = 163;   // dialog units
inline constexpr int kPartPanelHeight = 279;  // dialog units

class PartPanel : public ToolPanel {
  public:
    PartPanel(app::Session& session, files::SettingsFile settings, app::ChooseFile chooseFile);
    ~PartPanel() override;

    // The tree again from the table: every box ticked, nothing selected; with `showScale` the
    // scale box shows the table's scale. Then the menu state follows.
    void RebuildTree(const model::PartTable& parts, bool showScale);
    // Selects the tree item of the session's selected part (none for -1), then refreshes the
    // menu state.
    void TreeFromSelection();
    // Enables each menu command and the Undo and Redo buttons as the session allows.
    void RefreshMenuState();
    void SetHistoryButtons(bool canUndo, bool canRedo);
    // The scale box shows the model's scale.
    void ShowScale();

    QTreeWidget* tree() const { return tree_; }
    QLineEdit* scaleBox() const { return scaleBox_; }
    QPushButton* undoButton() const { return undoButton_; }
    QPushButton* redoButton() const { return redoButton_; }
    QPushButton* outlineButton() const { return outlineButton_; }
    QPushButton* gridButton() const { return gridButton_; }
    QMenuBar* menus() const { return menuBar_; }
    QMenu* editMenu() const { return editMenu_; }
    // The menu item of a command; none for Undo and Redo, which are buttons.
    QAction* action(app::PartPanelCommand command) const;
    // The tree item of a part; none past the table's count.
    QTreeWidgetItem* item(int part) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildMenus();
    void BuildControls();
    void RunCommand(app::PartPanelCommand command);
    void SelectionFromTree();
    void PartTicked(QTreeWidgetItem* changed);
    void ScaleEdited();
    void ShowEditMenu(const QPoint& atViewport);

    app::Session& session_;
    app::ChooseFile chooseFile_;
    std::array<QTreeWidgetItem*, model::kMaxParts> items_{};
    std::vector<std::pair<app::PartPanelCommand, QAction*>> actions_;
    QMenuBar* menuBar_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QLabel* scaleLabel_ = nullptr;
    QLineEdit* scaleBox_ = nullptr;
    QPushButton* undoButton_ = nullptr;
    QPushButton* redoButton_ = nullptr;
    QPushButton* outlineButton_ = nullptr;
    QPushButton* gridButton_ = nullptr;
};

}  // namespace panels
