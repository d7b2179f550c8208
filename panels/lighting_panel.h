#pragma once
// The "Lighting Panel": two pictures that start a drag of the light (tilt about its own
// horizontal axis, turn about the vertical), and the Power up-down (0 .. 10, a tenth of full
// brightness a step) with its label. It shows the stored power as it opens, sets the light again
// when a change of Power ends, and stores the light as it closes.

#include "app/core/session.h"
#include "panels/picture_button.h"
#include "panels/tool_panel.h"

class QToolButton;

namespace panels {

inline constexpr std::string_view kLightingPanelCaption = "Lighting Panel";
inline constexpr int kLightingPanelWidth = 104;  // dialog units
inline constexpr int kLightingPanelHeight = 30;  // dialog units

class LightingPanel : public ToolPanel {
  public:
    // The light and the Power position are the session's.
    LightingPanel(app::Session& session, files::SettingsFile settings);
    ~LightingPanel() override;

    // Stores the power and the light's direction, then closes as every panel does.
    void Close();

    PictureButton* tiltPicture() const { return tilt_; }
    PictureButton* turnPicture() const { return turn_; }
    // The up-down: its arrows and, with the focus, the Up and Down keys move the position.
    QWidget* powerUpDown() const { return upDown_; }
    QToolButton* powerUp() const { return up_; }
    QToolButton* powerDown() const { return down_; }
    // The session's Power position.
    int powerPosition() const;
    QLabel* powerLabel() const { return powerLabel_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Step(int by);
    void ChangeEnded();

    app::Session& session_;
    PictureButton* tilt_ = nullptr;
    PictureButton* turn_ = nullptr;
    QWidget* upDown_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    QLabel* powerLabel_ = nullptr;
    QLabel* caption_ = nullptr;
};

}  // namespace panels
