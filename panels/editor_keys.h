#pragma once
// The editor's keys (app/commands/editor_keys.h) wherever the keyboard is in its windows: the 3D
// view's window and every tool panel. A key press is the editor's unless a text box has the
// keyboard (it keeps its own keys, Ctrl+Z included), a dialog or message box is open, or a menu
// holds the keyboard. A press the editor takes goes no further, so no widget acts on it as well
// (Space does not also click the button that has the focus).

#include <QObject>

#include "app/commands/editor_keys.h"

class QKeyEvent;

namespace panels {

class ToolPanels;

// The stroke of a Qt key press. The keypad's 1, 3 and 7 count as keypad keys with NumLock on
// (Qt's digits) or off (End, Page Down, Home), both with Qt's keypad modifier.
app::KeyStroke KeyStrokeOf(const QKeyEvent& event);

// The object with the keyboard keeps its own keys: a line edit, a spin box, a text edit or a
// menu bar.
bool KeepsItsOwnKeys(const QObject* focus);

class EditorKeys : public QObject {
  public:
    // Watches every key press of the application from now on. After each command a key runs,
    // the Part panel of `panels` (when there is one) shows its menu state again.
    EditorKeys(app::Session& session, app::ChooseFile chooseFile, ToolPanels* panels);
    ~EditorKeys() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    app::Session& session_;
    app::ChooseFile chooseFile_;
    ToolPanels* panels_ = nullptr;
};

}  // namespace panels
