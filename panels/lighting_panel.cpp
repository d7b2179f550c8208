#include "panels/lighting_panel.h"

#include <QKeyEvent>
#include <QToolButton>

#include "app/core/editor_actions.h"
#include "app/core/editor_state.h"
#include "app/core/stored_light.h"

namespace panels {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

LightingPanel::LightingPanel(app::Session& session, files::SettingsFile settings)
    : ToolPanel(kLightingPanelCaption, app::kLightSection, std::move(settings), kLightingPanelWidth,
                kLightingPanelHeight),
      session_(session) {
    QWidget* area = body();
    const auto at = [this](QWidget* control, int x, int y) {
        control->move(DialogX(baseUnits(), x), DialogY(baseUnits(), y));
    };
    tilt_ = new PictureButton("light_tilt.png", area);
    at(tilt_, 4, 4);
    tilt_->OnPress([this] { app::ArmLightDrag(session_.editor, app::LightDragMode::kTilt); });
    turn_ = new PictureButton("light_turn.png", area);
    at(turn_, 28, 4);
    turn_->OnPress([this] { app::ArmLightDrag(session_.editor, app::LightDragMode::kTurn); });

    caption_ = new QLabel(QStringLiteral("Power"), area);
    Place(caption_, 54, 5, 24, 10);
    powerLabel_ = new QLabel(QStringLiteral("1.0"), area);
    Place(powerLabel_, 54, 16, 24, 10);

    // Two arrows stacked, no box beside them: the label shows the power.
    upDown_ = new QWidget(area);
    Place(upDown_, 82, 4, 10, 22);
    upDown_->setFocusPolicy(Qt::StrongFocus);
    upDown_->installEventFilter(this);
    up_ = new QToolButton(upDown_);
    down_ = new QToolButton(upDown_);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    const int half = upDown_->height() / 2;
    up_->setGeometry(0, 0, upDown_->width(), half);
    down_->setGeometry(0, half, upDown_->width(), upDown_->height() - half);
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
        // Auto-repeat sends released and pressed pairs while held: the change ends only when
        // the arrow is really let go.
        connect(arrow, &QToolButton::released, this, [this, arrow] {
            if (!arrow->isDown()) ChangeEnded();
        });
    }
    connect(up_, &QToolButton::pressed, this, [this] { Step(1); });
    connect(down_, &QToolButton::pressed, this, [this] { Step(-1); });

    // The stored power as it opens; the editor's start-up sets the light itself from the same
    // settings.
    const app::StoredLight stored = app::ReadStoredLight(this->settings());
    app::SetLightPowerPosition(session_.editor, app::LightPowerPosition(stored.power));
    powerLabel_->setText(Text(app::LightPowerText(stored.power)));
}

LightingPanel::~LightingPanel() = default;

void LightingPanel::Close() {
    files::LogFailedSettingsWrite(app::StoreLight(settings(), session_.editor), app::kLightSection);
    ToolPanel::Close();
}

void LightingPanel::Step(int by) {
    // A light drag reads the position every frame, also in the middle of a change.
    app::SetLightPowerPosition(session_.editor, powerPosition() + by);
}

void LightingPanel::ChangeEnded() {
    powerLabel_->setText(Text(app::LightPowerText(app::LightPowerAt(powerPosition()))));
    app::EndLightPowerChange(session_.editor, powerPosition());
}

int LightingPanel::powerPosition() const {
    return session_.editor.LightPowerPosition;
}

bool LightingPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == upDown_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int by = key->key() == Qt::Key_Up ? 1 : key->key() == Qt::Key_Down ? -1 : 0;
        if (by != 0) {
            if (event->type() == QEvent::KeyPress) {
                Step(by);
            } else if (!key->isAutoRepeat()) {
                ChangeEnded();
            }
            return true;
        }
    }
    return ToolPanel::eventFilter(watched, event);
}

}  // namespace panels
