#include "panels/handling_panel.h"

#include <QLabel>
#include <QRadioButton>

#include "app/core/editor_actions.h"
#include "app/core/editor_state.h"
#include "panels/value_box.h"

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

// Below the pictures, two groups of boxes, X, Y and Z each with its letter before it.
struct BoxGroup {
    const char* title;
    app::HandlingBox first;  // the X box's; Y and Z follow
    int y;                   // the title's; the boxes stand below it
};
constexpr std::array<BoxGroup, 2> kBoxGroups{{{"Position", app::HandlingBox::kPositionX, 54},
                                              {"Rotation (°)", app::HandlingBox::kAngleX, 79}}};
constexpr std::array<const char*, 3> kAxisLetters{"X", "Y", "Z"};
constexpr int kBoxesBelowTitle = 10;
constexpr int kFirstLetterX = 2;
constexpr int kLetterWidth = 5;
constexpr int kBoxWidth = 40;
constexpr int kBoxHeight = 12;
constexpr int kBoxStep = 45;  // dialog units from one letter to the next

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
    BuildBoxes();
    ShowValues();
}

void HandlingPanel::BuildBoxes() {
    QWidget* area = body();
    for (const BoxGroup& group : kBoxGroups) {
        Place(new QLabel(QString::fromUtf8(group.title), area), kFirstLetterX, group.y, 100, 10);
        const int y = group.y + kBoxesBelowTitle;
        for (int axis = 0; axis < 3; ++axis) {
            const int x = kFirstLetterX + axis * kBoxStep;
            auto* letter = new QLabel(QString::fromUtf8(kAxisLetters[axis]), area);
            letter->setAlignment(Qt::AlignCenter);
            Place(letter, x, y + 1, kLetterWidth, 10);
            const auto which = static_cast<app::HandlingBox>(static_cast<int>(group.first) + axis);
            auto* box = new ValueBox(area);
            Place(box, x + kLetterWidth, y, kBoxWidth, kBoxHeight);
            box->OnConfirm([this, which](const std::string& text) {
                app::TypeHandlingValue(session_, which, text);
                ShowValues();
            });
            box->OnRevert([this] { ShowValues(); });
            boxes_[static_cast<std::size_t>(which)] = box;
        }
    }
    // Made after Local and World, the boxes follow them in the keyboard's order (in reading
    // order): the panel given the keyboard does not start in a box.
}

void HandlingPanel::ShowValues() {
    const app::HandlingTexts texts = app::HandlingTextsFor(session_);
    const bool otherPart = texts.part != shownPart_;
    shownPart_ = texts.part;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        ValueBox* box = boxes_[i];
        // What was typed for another part is dropped.
        if (otherPart) box->setModified(false);
        box->setEnabled(texts.part != model::kNoPart);
        box->Follow(QString::fromStdString(texts.text[i]));
    }
}

HandlingPanel::~HandlingPanel() = default;

PictureButton* HandlingPanel::picture(app::HandleMode mode) const {
    if (mode < app::HandleMode::kMoveX || mode > app::HandleMode::kTurnZ) return nullptr;
    return pictures_[static_cast<std::size_t>(mode) - 1];
}

}  // namespace panels
