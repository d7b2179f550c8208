#include "panels/handling_panel.h"

#include <QRadioButton>

#include "app/core/editor_actions.h"
#include "app/core/editor_state.h"

namespace panels {

namespace {

// The same three pictures, in the same order, in both rows.
constexpr std::array<std::string_view, 3> kAxisPictures{"axis_x.png", "axis_y.png", "axis_z.png"};

struct Row {
    std::string_view label;
    app::HandleMode firstMode;  // the X picture's; Y and Z follow
    int y;                      // dialog units
};
constexpr std::array<Row, 2> kRows{
    {{"move.png", app::HandleMode::kMoveX, 4}, {"turn.png", app::HandleMode::kTurnX, 29}}};
constexpr int kLabelX = 4;
constexpr int kFirstPictureX = 32;
constexpr int kPictureStep = 24;  // dialog units from one picture to the next

}  // namespace

HandlingPanel::HandlingPanel(app::Session& session, files::SettingsFile settings)
    : ToolPanel(kHandlingPanelCaption, kHandlingPanelSection, std::move(settings),
                kHandlingPanelWidth, kHandlingPanelHeight),
      session_(session) {
    QWidget* area = body();
    // Pictures keep their 32 x 32 pixels; their corners stand in dialog units.
    const auto at = [this](QWidget* control, int x, int y) {
        control->move(DialogX(baseUnits(), x), DialogY(baseUnits(), y));
    };
    for (const Row& row : kRows) {
        auto* label = new QLabel(area);
        label->setPixmap(PanelPicture(row.label));
        label->setFixedSize(kPictureSize, kPictureSize);
        at(label, kLabelX, row.y);
        (row.firstMode == app::HandleMode::kMoveX ? moveLabel_ : turnLabel_) = label;
        for (std::size_t axis = 0; axis < kAxisPictures.size(); ++axis) {
            const auto mode =
                static_cast<app::HandleMode>(static_cast<std::size_t>(row.firstMode) + axis);
            auto* picture = new PictureButton(kAxisPictures[axis], area);
            at(picture, kFirstPictureX + static_cast<int>(axis) * kPictureStep, row.y);
            picture->OnPress([this, mode] { app::ArmPartDrag(session_.editor, mode); });
            pictures_[static_cast<std::size_t>(mode) - 1] = picture;
        }
    }

    local_ = new QRadioButton(QStringLiteral("Local"), area);
    Place(local_, 104, 10, 34, 10);
    world_ = new QRadioButton(QStringLiteral("World"), area);
    Place(world_, 104, 34, 34, 10);
    local_->setChecked(true);
    app::SetHandlingLocal(session_, true);
    connect(local_, &QRadioButton::toggled, this,
            [this](bool checked) { app::SetHandlingLocal(session_, checked); });
}

HandlingPanel::~HandlingPanel() = default;

PictureButton* HandlingPanel::picture(app::HandleMode mode) const {
    if (mode < app::HandleMode::kMoveX || mode > app::HandleMode::kTurnZ) return nullptr;
    return pictures_[static_cast<std::size_t>(mode) - 1];
}

}  // namespace panels
