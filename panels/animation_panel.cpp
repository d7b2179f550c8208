#include "panels/animation_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include "app/core/editor_actions.h"
#include "panels/up_down.h"
#include "panels/value_box.h"

namespace panels {

namespace {

QLabel* Label(const char* text, Qt::Alignment alignment, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

// A sunken box with a number, centred, that takes a typed one.
ValueBox* NumberBox(QWidget* parent) {
    auto* box = new ValueBox(parent);
    box->setAlignment(Qt::AlignCenter);
    box->setText(QStringLiteral("1"));
    return box;
}

}  // namespace

AnimationPanel::AnimationPanel(app::Session& session, files::SettingsFile settings,
                               app::ChooseFile chooseFile)
    : ToolPanel(kAnimationPanelCaption, kAnimationPanelSection, std::move(settings),
                kAnimationPanelWidth, kAnimationPanelHeight),
      session_(session),
      chooseFile_(std::move(chooseFile)) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    BuildControls();
    // From now on the frame reads Play as it stands.
    app::SetPlaying(session_, playButton_->isChecked());
    ShowKey(app::kFirstKeyNumber);
}

AnimationPanel::~AnimationPanel() = default;

void AnimationPanel::BuildControls() {
    QWidget* area = body();

    Place(Label("No.", Qt::AlignRight, area), 5, 5, 10, 10);
    // The up-down is made before its box: the panel given the keyboard starts on it, not in
    // the box.
    keyUpDown_ = new UpDown(area);
    Place(keyUpDown_, 50, 5, 25, 10);
    keyUpDown_->SetRange(app::kFirstKeyNumber, app::kLastKeyNumber);
    keyUpDown_->OnChangeEnded([this] { ShowKey(keyUpDown_->position()); });
    keyText_ = NumberBox(area);
    Place(keyText_, 25, 5, 25, 10);
    keyText_->OnConfirm(
        [this](const std::string& text) { Show(app::TypeKeyNumber(session_, text)); });
    keyText_->OnRevert([this] { ShowKey(keyNumber()); });

    getButton_ = new QPushButton(QStringLiteral("Get(&G)"), area);
    Place(getButton_, 80, 5, 35, 12);
    connect(getButton_, &QPushButton::clicked, this,
            [this] { app::FetchAnimationKey(session_, keyNumber()); });

    slider_ = new QSlider(Qt::Horizontal, area);
    Place(slider_, 5, 19, 112, 13);
    slider_->setRange(app::kFirstKeyNumber, app::kLastKeyNumber);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(1);
    slider_->setPageStep(1);
    // A drag shows nothing until it ends; a click or a key moves the slider at once.
    connect(slider_, &QSlider::sliderReleased, this, [this] { ShowKey(slider_->value()); });
    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        if (!slider_->isSliderDown()) ShowKey(value);
    });

    Place(Label("Frame", Qt::AlignRight, area), 5, 37, 20, 10);
    frameText_ = NumberBox(area);
    Place(frameText_, 25, 37, 25, 10);
    frameText_->OnConfirm(
        [this](const std::string& text) { Show(app::TypeFrameCount(session_, text)); });
    frameText_->OnRevert([this] { ShowKey(keyNumber()); });
    frameUpDown_ = new UpDown(area);
    Place(frameUpDown_, 50, 37, 25, 10);
    frameUpDown_->SetRange(0, app::kMaxFrameCount);
    frameUpDown_->OnChangeEnded(
        [this] { Show(app::SetKeyFrameCount(session_, keyNumber(), frameUpDown_->position())); });

    setButton_ = new QPushButton(QStringLiteral("Set(&S)"), area);
    Place(setButton_, 80, 37, 35, 12);
    connect(setButton_, &QPushButton::clicked, this,
            [this] { app::StoreAnimationKey(session_, keyNumber()); });

    playButton_ = new QPushButton(QStringLiteral("Play(&P)"), area);
    Place(playButton_, 5, 55, 30, 12);
    playButton_->setCheckable(true);
    connect(playButton_, &QPushButton::toggled, this,
            [this](bool ticked) { app::SetPlaying(session_, ticked); });

    loadButton_ = new QPushButton(QStringLiteral("Load(&L)"), area);
    Place(loadButton_, 40, 55, 35, 12);
    connect(loadButton_, &QPushButton::clicked, this, [this] { Load(); });

    saveButton_ = new QPushButton(QStringLiteral("Save(&V)"), area);
    Place(saveButton_, 80, 55, 35, 12);
    connect(saveButton_, &QPushButton::clicked, this,
            [this] { app::SaveAnimation(session_, chooseFile_); });

    // A row of its own below the buttons; unticked at every start.
    onionBox_ = new QCheckBox(QStringLiteral("Onion(&N)"), area);
    Place(onionBox_, 5, 71, 60, 10);
    onionBox_->setChecked(session_.panels.onionTicked);
    connect(onionBox_, &QCheckBox::toggled, this,
            [this](bool ticked) { app::SetOnionShown(session_, ticked); });
}

int AnimationPanel::keyNumber() const {
    return session_.shownKey();
}

void AnimationPanel::ShowKey(int keyNumber) {
    Show(app::KeyToShow(session_, app::SetShownKey(session_, keyNumber)));
}

void AnimationPanel::ShowPlaying(bool playing) {
    const QSignalBlocker quiet(playButton_);
    playButton_->setChecked(playing);
}

void AnimationPanel::Show(const app::ShownKey& key) {
    keyUpDown_->SetPosition(key.keyNumber);
    {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(key.keyNumber);
    }
    keyText_->Follow(QString::fromStdString(key.keyText));
    frameUpDown_->SetPosition(key.frameCount);
    frameText_->Follow(QString::fromStdString(key.frameText));
}

void AnimationPanel::Load() {
    // The load stops playback: the button hears of it as the session's observer.
    Show(app::LoadAnimation(session_, chooseFile_));
}

}  // namespace panels
