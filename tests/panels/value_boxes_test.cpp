// Typing into the Handling panel's boxes: Enter takes the number, Escape and leaving the box put
// the shown value back, and the frame's refresh leaves a box being typed in alone.

#include <QFocusEvent>
#include <QTest>

#include "app/core/documents.h"
#include "framework/debug_log.h"
#include "panels/tool_panels.h"
#include "panels/value_box.h"
#include "tests/panels/panel_test_support.h"

namespace {

class ValueBoxesTest : public panels::testing_support::PanelTest {
  protected:
    void SetUp() override {
        framework::ProcessLog().Discard();
        ASSERT_TRUE(app::OpenPartFile(session.model,
                                      POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp"));
        panels.ShowPanels();
    }
    void TearDown() override {
        panels.ClosePanels();
        framework::ProcessLog().SetPath("");
    }
    // `text` typed over the box's text, then `key` (none: the typing goes on).
    static void Type(panels::ValueBox* box, const char* text, Qt::Key key = Qt::Key_unknown) {
        box->selectAll();
        QTest::keyClicks(box, text);
        if (key != Qt::Key_unknown) QTest::keyClick(box, key);
    }

    app::Session session;
    panels::ToolPanels panels{session, files::SettingsFile("/nonexistent/Posewrighter.ini"),
                              [](const app::FileRequest&) { return std::optional<std::string>(); }};
};

TEST_F(ValueBoxesTest, HandlingBoxesTakeATypedValueOnEnterOnly) {
    panels::ValueBox* x = panels.handlingPanel()->box(app::HandlingBox::kPositionX);
    panels::ValueBox* angle = panels.handlingPanel()->box(app::HandlingBox::kAngleX);
    EXPECT_FALSE(x->isEnabled());
    session.editor.SelectedPart = 0;
    panels.FrameStepsRan();
    ASSERT_TRUE(x->isEnabled());
    Type(x, "0.5", Qt::Key_Return);
    Type(angle, "30", Qt::Key_Enter);
    EXPECT_EQ(session.model.scene.node[0].GetPosition().x, 0.5f);
    EXPECT_EQ(x->text() + " " + angle->text(), "0.5 30");

    // Typing survives the frame's refresh; Escape drops it.
    Type(angle, "abc");
    session.model.scene.node[0].SetPosition({0.25f, 0.0f, 0.0f});
    panels.FrameStepsRan();
    EXPECT_EQ(x->text() + " " + angle->text(), "0.25 abc");
    QTest::keyClick(angle, Qt::Key_Escape);
    EXPECT_EQ(angle->text(), "30");
    // A refused number, and one left without Enter, show the value again.
    Type(angle, "1e99", Qt::Key_Return);
    EXPECT_EQ(angle->text(), "30");
    Type(angle, "45");
    QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(angle, &left);
    EXPECT_EQ(angle->text(), "30");
    EXPECT_EQ(session.model.history.undoSize(), 2);
}

}  // namespace
