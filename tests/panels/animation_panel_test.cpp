// The Animation panel's widgets on the session: the key and frame controls agree after every
// completed change and act only when it ends, Get of a key never set, Load, the key shown
// from playback, and the onion skin's box.

#include "panels/animation_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <set>

#include "app/core/documents.h"
#include "app/core/editor_actions.h"
#include "framework/debug_log.h"
#include "framework/notice.h"
#include "panels/tool_panels.h"
#include "panels/up_down.h"
#include "panels/value_box.h"
#include "tests/panels/panel_test_support.h"

namespace {

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp";

class AnimationPanelTest : public panels::testing_support::PanelTest {
  protected:
    void SetUp() override {
        framework::ProcessLog().Discard();
        framework::SetNoticeHandler([this](std::string_view text) { notices.emplace_back(text); });
        panels.ShowPanels();
        ASSERT_NE(panel(), nullptr);
    }
    void TearDown() override {
        panels.ClosePanels();
        framework::SetNoticeHandler({});
        framework::ProcessLog().SetPath("");
    }
    panels::AnimationPanel* panel() const { return panels.animationPanel(); }
    // The key up-down, the slider and both texts.
    void ExpectShown(int key, int frames) const {
        EXPECT_EQ(panel()->keyUpDown()->position(), key);
        EXPECT_EQ(panel()->slider()->value(), key);
        EXPECT_EQ(panel()->keyText()->text(), QString::number(key));
        EXPECT_EQ(panel()->frameUpDown()->position(), frames);
        EXPECT_EQ(panel()->frameText()->text(), QString::number(frames));
    }
    static void Click(QToolButton* arrow, int times = 1) {
        for (int i = 0; i < times; ++i) QTest::mouseClick(arrow, Qt::LeftButton);
    }

    std::optional<std::string> answer;
    std::vector<std::string> notices;
    app::Session session;
    panels::ToolPanels panels{session, files::SettingsFile("/nonexistent/Posewrighter.ini"),
                              [this](const app::FileRequest&) { return answer; }};
};

TEST_F(AnimationPanelTest, AFrameCountStaysWithItsKey) {
    EXPECT_TRUE(panel()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ExpectShown(1, 0);
    Click(panel()->keyUpDown()->raiseButton(), 2);
    ExpectShown(3, 0);
    panel()->frameUpDown()->setFocus();
    for (int i = 0; i < 12; ++i) QTest::keyClick(panel()->frameUpDown(), Qt::Key_Right);
    ExpectShown(3, 12);
    EXPECT_EQ(session.model.animation.frameCount[2], 12);
    Click(panel()->keyUpDown()->raiseButton());
    ExpectShown(4, 0);
    Click(panel()->keyUpDown()->lowerButton());
    ExpectShown(3, 12);
    // The ends of the ranges hold.
    Click(panel()->keyUpDown()->lowerButton(), 5);
    ExpectShown(1, 0);
    Click(panel()->frameUpDown()->lowerButton());
    ExpectShown(1, 0);
}

TEST_F(AnimationPanelTest, TheSliderChangesNothingUntilReleased) {
    session.model.animation.SetFrameCount(9, 30);
    QSlider* slider = panel()->slider();
    slider->setSliderDown(true);
    slider->setValue(9);
    EXPECT_EQ(panel()->keyUpDown()->position(), 1);
    EXPECT_EQ(panel()->keyText()->text(), "1");
    EXPECT_EQ(panel()->frameText()->text(), "0");
    slider->setSliderDown(false);  // the drag ends
    ExpectShown(9, 30);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);  // not a drag: at once
    ExpectShown(10, 0);
}

TEST_F(AnimationPanelTest, GetOnAKeyNeverSetGivesIdentityPoses) {
    ASSERT_TRUE(app::OpenPartFile(session.model, kRobot));
    model::PartTable& parts = session.model.parts;
    editing::PartScene& partScene = session.model.scene;
    ASSERT_GT(parts.count, 1);
    partScene.node[1].SetOrientation({0.0f, 0.6f, 0.0f, 0.8f});
    partScene.node[1].SetPosition({1.0f, 2.0f, 3.0f});
    Click(panel()->keyUpDown()->raiseButton(), 6);
    QTest::mouseClick(panel()->getButton(), Qt::LeftButton);
    for (int i = 0; i < parts.count; ++i) {
        EXPECT_EQ(partScene.node[i].GetOrientation(), gfx::Quat{}) << i;
        EXPECT_EQ(partScene.node[i].GetPosition(), gfx::Vec3{}) << i;
    }
}

TEST_F(AnimationPanelTest, LoadUnticksPlayAndShowsKeyOneEvenWhenTheReadFails) {
    session.model.animation.SetFrameCount(1, 5);
    QTest::mouseClick(panel()->playButton(), Qt::LeftButton);
    EXPECT_TRUE(session.playing());
    app::AnnounceShownKey(session, 4);  // as playback shows the key it plays
    EXPECT_EQ(session.shownKey(), 4);
    ExpectShown(4, 0);
    answer = "/nonexistent/walk.pwa";
    QTest::mouseClick(panel()->loadButton(), Qt::LeftButton);
    EXPECT_FALSE(panel()->playButton()->isChecked());
    EXPECT_FALSE(session.playing());
    ExpectShown(1, 0);
    EXPECT_EQ(session.shownKey(), 1);
    EXPECT_EQ(notices.size(), 1u);
}

// Play has one value whoever sets it: the button shows what a command set, and the session what
// the button set, in any order.
TEST_F(AnimationPanelTest, PlayFromTheButtonAndFromACommandEndsInOneState) {
    QPushButton* play = panel()->playButton();
    const auto expectPlaying = [&](bool playing) {
        EXPECT_EQ(session.playing(), playing);
        EXPECT_EQ(play->isChecked(), playing);
    };
    expectPlaying(false);
    app::SetPlaying(session, true);
    expectPlaying(true);
    QTest::mouseClick(play, Qt::LeftButton);
    expectPlaying(false);
    QTest::mouseClick(play, Qt::LeftButton);
    expectPlaying(true);
    app::SetPlaying(session, false);
    expectPlaying(false);
    // The same button pressed through its key, as the keyboard shortcut does.
    play->animateClick();
    QTRY_COMPARE(session.playing(), true);
    EXPECT_TRUE(play->isChecked());
}

// The box starts unticked and its state is the session's; its mnemonic is no other control's.
TEST_F(AnimationPanelTest, TheOnionBoxReachesTheSession) {
    QCheckBox* onion = panel()->onionBox();
    EXPECT_FALSE(onion->isChecked());
    EXPECT_FALSE(session.panels.onionTicked);
    QTest::mouseClick(onion, Qt::LeftButton);
    EXPECT_TRUE(session.panels.onionTicked);
    QTest::mouseClick(onion, Qt::LeftButton);
    EXPECT_FALSE(session.panels.onionTicked);
    std::set<QChar> mnemonics;
    for (const QAbstractButton* button : panel()->findChildren<QAbstractButton*>()) {
        const qsizetype amp = button->text().indexOf('&');
        if (amp < 0) continue;
        EXPECT_TRUE(mnemonics.insert(button->text().at(amp + 1).toUpper()).second)
            << button->text().toStdString();
    }
    EXPECT_EQ(mnemonics.count('N'), 1u);
}

}  // namespace
