// Typing into the panels' boxes: Enter takes the number, Escape and leaving the box put the
// shown value back, and the frame's refresh leaves a box being typed in alone.

#include <QFocusEvent>
#include <QTest>
#include <QToolButton>

#include "app/core/documents.h"
#include "framework/debug_log.h"
#include "panels/tool_panels.h"
#include "panels/up_down.h"
#include "panels/value_box.h"
#include "tests/panels/panel_test_support.h"

namespace {

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp";

class ValueBoxesTest : public panels::testing_support::PanelTest {
  protected:
    void SetUp() override {
        framework::ProcessLog().Discard();
        ASSERT_TRUE(app::OpenPartFile(session.model, kRobot));
        panels.ShowPanels();
    }
    void TearDown() override {
        panels.ClosePanels();
        framework::ProcessLog().SetPath("");
    }
    panels::ValueBox* Box(app::HandlingBox which) const {
        return panels.handlingPanel()->box(which);
    }
    // The box is given the keyboard, its text replaced by `text` as typed, then `key`.
    static void Type(panels::ValueBox* box, const char* text, Qt::Key key) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        if (key != Qt::Key_unknown) QTest::keyClick(box, key);
    }

    app::Session session;
    panels::ToolPanels panels{session, files::SettingsFile("/nonexistent/Posewrighter.ini"),
                              [](const app::FileRequest&) { return std::optional<std::string>(); }};
};

TEST_F(ValueBoxesTest, HandlingBoxesTakeATypedValueOnEnterOnly) {
    panels::ValueBox* x = Box(app::HandlingBox::kPositionX);
    EXPECT_FALSE(x->isEnabled());
    EXPECT_EQ(x->text(), "");
    session.editor.SelectedPart = 0;
    panels.FrameStepsRan();
    ASSERT_TRUE(x->isEnabled());
    EXPECT_EQ(Box(app::HandlingBox::kPositionY)->text(), "0.95");

    Type(x, "0.5", Qt::Key_Return);
    EXPECT_EQ(session.model.scene.node[0].GetPosition().x, 0.5f);
    EXPECT_EQ(x->text(), "0.5");
    panels::ValueBox* angle = Box(app::HandlingBox::kAngleX);
    Type(angle, "30", Qt::Key_Enter);
    EXPECT_EQ(angle->text(), "30");
    EXPECT_EQ(session.model.history.undoSize(), 2);

    // Typing not confirmed survives the frame's refresh, and Escape drops it.
    Type(angle, "abc", Qt::Key_unknown);
    session.model.scene.node[0].SetPosition({0.25f, 0.0f, 0.0f});
    panels.FrameStepsRan();
    EXPECT_EQ(angle->text(), "abc");
    EXPECT_EQ(x->text(), "0.25");
    QTest::keyClick(angle, Qt::Key_Escape);
    EXPECT_EQ(angle->text(), "30");
    // A refused number, and one left without Enter, show the value again.
    Type(angle, "1e99", Qt::Key_Return);
    EXPECT_EQ(angle->text(), "30");
    Type(angle, "45", Qt::Key_unknown);
    QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(angle, &left);
    EXPECT_EQ(angle->text(), "30");
    EXPECT_EQ(session.model.history.undoSize(), 2);
}

TEST_F(ValueBoxesTest, AnimationBoxesShowAKeyAndSetItsFrameCount) {
    panels::AnimationPanel* panel = panels.animationPanel();
    Type(panel->keyText(), "4", Qt::Key_Return);
    EXPECT_EQ(session.shownKey(), 4);
    EXPECT_EQ(panel->keyUpDown()->position(), 4);
    Type(panel->frameText(), "12", Qt::Key_Return);
    EXPECT_EQ(session.model.animation.frameCount[3], 12);
    EXPECT_EQ(panel->frameUpDown()->position(), 12);
    Type(panel->frameText(), "100", Qt::Key_Return);
    EXPECT_EQ(panel->frameText()->text(), "12");
    // The up-down goes on from the typed count.
    QTest::mouseClick(panel->frameUpDown()->raiseButton(), Qt::LeftButton);
    EXPECT_EQ(session.model.animation.frameCount[3], 13);
    EXPECT_EQ(panel->frameText()->text(), "13");
}

}  // namespace
