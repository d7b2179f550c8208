#pragma once
// What the five tool panels share: a top-level tool window beside the main window with a
// caption only (no close, minimise or maximise box), kept above the main window, laid out in dialog
// units of the panels' font, with a menu bar above its controls when it has one. Its position is
// kept in the settings file under a section of its own: restored when it opens, stored when it
// closes.

#include <QWidget>
#include <string>
#include <string_view>

#include "files/settings/settings_file.h"
#include "framework/placeable_window.h"
#include "panels/dialog_units.h"

class QMenuBar;
class QWindow;

namespace panels {

class ToolPanel : public QWidget, public framework::PlaceableWindow {
  public:
    // `templateWidth` x `templateHeight` dialog units below the menu bar.
    ToolPanel(std::string_view caption, std::string_view section, files::SettingsFile settings,
              int templateWidth, int templateHeight);
    ~ToolPanel() override;

    // Keeps the panel above `owner` (the main window) as the window manager's transient window
    // of it. Before Open.
    void SetOwner(QWindow* owner);
    // Moves the panel to its stored position (brought onto a screen), raises and shows it; with
    // no position stored it shows where it stands, for the start-up layout to place.
    void Open();
    // Stores the panel's position and hides it.
    void Close();

    const DialogBaseUnits& baseUnits() const { return baseUnits_; }
    const files::SettingsFile& settings() const { return settings_; }
    const std::string& section() const { return section_; }
    // The area of the controls, below the menu bar; control rectangles are relative to it.
    QWidget* body() const { return body_; }
    // Places a control in dialog units.
    void Place(QWidget* control, int x, int y, int width, int height) const;
    // Puts the menu bar above the controls; the panel grows by its height.
    void SetMenuBar(QMenuBar* menuBar);

    // framework::PlaceableWindow
    framework::ScreenRect Frame() const override;
    void MoveRaiseAndShow(int left, int top) override;

    // Shown and on the screen: a window manager, when there is one, has framed it, so that
    // Frame() holds the frame rather than the client area.
    bool OnScreen() const;
    // Framed by the window manager: the frame's margins are known (never without a manager).
    bool Framed() const;

  protected:
    // The window system's close request (the panel has no close box, but a window manager may
    // still send one): the panel stays until the editor closes it.
    void closeEvent(QCloseEvent* event) override;

  private:
    std::string section_;
    files::SettingsFile settings_;
    DialogBaseUnits baseUnits_;
    QWidget* body_ = nullptr;
};

}  // namespace panels
