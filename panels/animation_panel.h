#pragma once
// The "Animation Panel": the key number (1 .. 16) on an up-down and a slider with the number in
// a box, the key's frame count (0 .. 99) on an up-down with its own box (either box takes a
// number typed and confirmed with Enter), Get and Set of
// the key's pose, Play, Load and Save of the animation file, and the onion skin's box. It stays
// above the other windows. The up-downs and the slider act only when a change ends (a button or key
// let go, a drag finished); after any completed change the key up-down, the slider and both texts
// show the same key. The widgets hold nothing of the editor's: the commands run on the session
// (app/commands/animation_panel_commands.h) and Play, the key shown and the onion skin are the
// session's.

#include "app/commands/animation_panel_commands.h"
#include "app/core/session.h"
#include "panels/tool_panel.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace panels {

class UpDown;
class ValueBox;

inline constexpr std::string_view kAnimationPanelCaption = "Animation Panel";
inline constexpr std::string_view kAnimationPanelSection = "ANIM_DIALOG";
inline constexpr int kAnimationPanelWidth = 119;  // dialog units
inline constexpr int kAnimationPanelHeight = 86;  // dialog units

class AnimationPanel : public ToolPanel {
  public:
    AnimationPanel(app::Session& session, files::SettingsFile settings, app::ChooseFile chooseFile);
    ~AnimationPanel() override;

    // Key `keyNumber` (brought into 1 .. 16) on the key up-down, the slider and the key text,
    // its frame count on the frame up-down and the frame text.
    void ShowKey(int keyNumber);
    // The key the panel stands on: the session's key shown.
    int keyNumber() const;
    // The Play button as Play stands, without switching it again.
    void ShowPlaying(bool playing);

    ValueBox* keyText() const { return keyText_; }
    ValueBox* frameText() const { return frameText_; }
    UpDown* keyUpDown() const { return keyUpDown_; }
    UpDown* frameUpDown() const { return frameUpDown_; }
    QSlider* slider() const { return slider_; }
    QPushButton* getButton() const { return getButton_; }
    QPushButton* setButton() const { return setButton_; }
    QPushButton* playButton() const { return playButton_; }
    QPushButton* loadButton() const { return loadButton_; }
    QPushButton* saveButton() const { return saveButton_; }
    QCheckBox* onionBox() const { return onionBox_; }

  private:
    void BuildControls();
    void Show(const app::ShownKey& key);
    void Load();

    app::Session& session_;
    app::ChooseFile chooseFile_;
    ValueBox* keyText_ = nullptr;
    ValueBox* frameText_ = nullptr;
    UpDown* keyUpDown_ = nullptr;
    UpDown* frameUpDown_ = nullptr;
    QSlider* slider_ = nullptr;
    QPushButton* getButton_ = nullptr;
    QPushButton* setButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QPushButton* loadButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QCheckBox* onionBox_ = nullptr;
};

}  // namespace panels
