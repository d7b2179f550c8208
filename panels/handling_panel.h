#pragma once
// The "Handling Panel": two rows of pictures, move along X, Y, Z and turn about X, Y, Z, and
// the choice of "Local" (the selected part's own axes) or "World". A press on a picture arms
// the part drag while a part is selected; the frame then drags for as long as the button is
// held. "Local" is ticked at every start: the choice is not stored.

#include <array>
#include <cstdint>

#include "app/core/session.h"
#include "panels/picture_button.h"
#include "panels/tool_panel.h"

class QRadioButton;

namespace panels {

inline constexpr std::string_view kHandlingPanelCaption = "Handling Panel";
inline constexpr std::string_view kHandlingPanelSection = "HANDING_DIALOG";
inline constexpr int kHandlingPanelWidth = 140;  // dialog units
inline constexpr int kHandlingPanelHeight = 54;  // dialog units

class HandlingPanel : public ToolPanel {
  public:
    HandlingPanel(app::Session& session, files::SettingsFile settings);
    ~HandlingPanel() override;

    // The picture that arms `mode` (kMoveX .. kTurnZ); none for another value.
    PictureButton* picture(app::HandleMode mode) const;
    QLabel* moveLabel() const { return moveLabel_; }
    QLabel* turnLabel() const { return turnLabel_; }
    QRadioButton* localButton() const { return local_; }
    QRadioButton* worldButton() const { return world_; }

  private:
    app::Session& session_;
    QLabel* moveLabel_ = nullptr;
    QLabel* turnLabel_ = nullptr;
    std::array<PictureButton*, 6> pictures_{};  // by mode - 1
    QRadioButton* local_ = nullptr;
    QRadioButton* world_ = nullptr;
};

}  // namespace panels
