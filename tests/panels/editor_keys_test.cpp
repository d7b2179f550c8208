// The editor's keys in the panels' windows: Qt's key events as strokes (the keypad with NumLock
// on and off), a key acting once in the tree, and the scale box keeping its own keys.

#include "panels/editor_keys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include "app/core/documents.h"
#include "framework/debug_log.h"
#include "framework/notice.h"
#include "panels/tool_panels.h"
#include "tests/panels/panel_test_support.h"

namespace {

using app::Key;

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp";

// The log goes nowhere until the session has gone (declared before it).
struct QuietLog {
    QuietLog() { framework::ProcessLog().Discard(); }
    ~QuietLog() { framework::ProcessLog().SetPath(""); }
};

class EditorKeysTest : public panels::testing_support::PanelTest {
  protected:
    void SetUp() override {
        framework::SetNoticeHandler([](std::string_view) {});
        panels.ShowPanels();
        ASSERT_TRUE(app::OpenPartFile(session.model, kRobot));
    }
    void TearDown() override {
        panels.ClosePanels();
        framework::SetNoticeHandler({});
    }
    // A key pressed and let go in the Part panel's window, as the window system delivers it.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(panels.partPanel()->windowHandle(), key, modifiers);
    }

    const QuietLog quiet;
    app::Session session;
    panels::ToolPanels panels{session, files::SettingsFile("/nonexistent/Posewrighter.ini"),
                              [](const app::FileRequest&) { return std::nullopt; }};
    panels::EditorKeys keys{session, [](const app::FileRequest&) { return std::nullopt; }, &panels};
};

TEST_F(EditorKeysTest, QtKeysBecomeStrokesWithTheKeypadWhateverNumLockSays) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        Key expected;
    };
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    const Case cases[] = {
        {Qt::Key_1, pad, Key::kKeypad1},
        {Qt::Key_End, pad, Key::kKeypad1},
        {Qt::Key_3, pad, Key::kKeypad3},
        {Qt::Key_PageDown, pad, Key::kKeypad3},
        {Qt::Key_7, pad, Key::kKeypad7},
        {Qt::Key_Home, pad, Key::kKeypad7},
        {Qt::Key_Delete, pad, Key::kDelete},
        {Qt::Key_1, Qt::NoModifier, Key::kOther},
        {Qt::Key_PageDown, {}, Key::kPageDown},
        {Qt::Key_End, {}, Key::kOther},
        {Qt::Key_F, {}, Key::kF},
        {Qt::Key_F, pad, Key::kOther},
        {Qt::Key_Space, {}, Key::kSpace},
        {Qt::Key_Escape, {}, Key::kOther},
    };
    for (const Case& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers);
        EXPECT_EQ(panels::KeyStrokeOf(event).key, c.expected) << c.key << " " << c.modifiers;
    }
    const QKeyEvent held(QEvent::KeyPress, Qt::Key_S,
                         Qt::ControlModifier | Qt::ShiftModifier | Qt::MetaModifier, QString(),
                         true);
    const app::KeyStroke stroke = panels::KeyStrokeOf(held);
    EXPECT_TRUE(stroke.ctrl && stroke.shift && stroke.alt && stroke.repeat);
}

TEST_F(EditorKeysTest, AKeyActsOnceInTheTreeAndTheScaleBoxKeepsItsOwn) {
    QTreeWidget* tree = panels.partPanel()->tree();
    tree->setCurrentItem(panels.partPanel()->item(11));
    ASSERT_EQ(session.editor.SelectedPart, 11);
    tree->setFocus();

    // Space plays rather than ticking the current part's box.
    Press(Qt::Key_Space);
    EXPECT_TRUE(session.playing());
    EXPECT_EQ(panels.partPanel()->item(11)->checkState(0), Qt::Checked);
    Press(Qt::Key_Space);
    EXPECT_FALSE(session.playing());

    // Delete deletes the selected part, and the menu offers no delete afterwards.
    Press(Qt::Key_Delete);
    EXPECT_EQ(session.model.parts.count, 11);
    EXPECT_FALSE(panels.partPanel()->action(app::PartPanelCommand::kDeletePart)->isEnabled());

    // In the scale box Ctrl+Z and Space are the box's.
    QLineEdit* box = panels.partPanel()->scaleBox();
    box->setFocus();
    const QString scale = box->text();
    Press(Qt::Key_Z, Qt::ControlModifier);
    Press(Qt::Key_Space);  // typed into the box, whose filter drops it
    EXPECT_EQ(session.model.parts.count, 11);
    EXPECT_FALSE(session.playing());
    EXPECT_EQ(box->text(), scale);

    // Back in the tree, Ctrl+Z undoes the delete.
    tree->setFocus();
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(session.model.parts.count, 12);
}

}  // namespace
