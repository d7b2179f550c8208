#pragma once
// The "Handling Panel": two rows of pictures, move along X, Y, Z and turn about X, Y, Z, and
// the choice of "Local" (the selected part's own axes) or "World". A press on a picture arms
// the part drag while a part is selected; the frame then drags for as long as the button is
// held. "Local" is ticked at every start: the choice is not stored.
// Below them, boxes show the selected part's position and its angles in degrees, follow it
// every frame and take a typed value on Enter (app/commands/handling_values.h); with nothing
// selected they are empty and take no typing.

#include <array>
#include <cstdint>

#include "app/commands/handling_values.h"
#include "app/core/session.h"
#include "panels/picture_button.h"
#include "panels/tool_panel.h"

class QRadioButton;

namespace panels {

inline constexpr std::string_view kHandlingPanelCaption = "Handling Panel";
inline constexpr std::string_view kHandlingPanelSection = "HANDING_DIALOG";
inline constexpr int kHandlingPanelWidth = 140;   // dialog units
inline constexpr int kHandlingPanelHeight = 104;  // dialog units

class ValueBox;

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
    ValueBox* box(app::HandlingBox which) const { return boxes_[static_cast<std::size_t>(which)]; }

    // The boxes show the selected part's values, but for one the user is typing in (each
    // frame, and after a value was typed).
    void ShowValues();

  private:
    void BuildBoxes();

    app::Session& session_;
    QLabel* moveLabel_ = nullptr;
    QLabel* turnLabel_ = nullptr;
    std::array<PictureButton*, 6> pictures_{};  // by mode - 1
    QRadioButton* local_ = nullptr;
    QRadioButton* world_ = nullptr;
    std::array<ValueBox*, app::kHandlingBoxCount> boxes_{};
    model::PartIndex shownPart_ = model::kNoPart;  // whose values the boxes show
};

}  // namespace panels
