// The editor's keys in a panel's window: the keypad with NumLock on and off, a key taken in the
// tree and left to the scale box.

#include "panels/editor_keys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "panels/tool_panels.h"
#include "tests/panels/panel_test_support.h"

namespace {

using KeysTest = panels::testing_support::PanelTest;

TEST_F(KeysTest, TheKeypadCountsWhateverNumLockSays) {
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    const struct {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        app::Key key;
    } cases[] = {
        {Qt::Key_1, pad, app::Key::kKeypad1},        {Qt::Key_End, pad, app::Key::kKeypad1},
        {Qt::Key_PageDown, pad, app::Key::kKeypad3}, {Qt::Key_Home, pad, app::Key::kKeypad7},
        {Qt::Key_PageDown, {}, app::Key::kPageDown}, {Qt::Key_1, {}, app::Key::kOther},
    };
    for (const auto& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.qtKey, c.modifiers);
        EXPECT_EQ(panels::KeyStrokeOf(event).key, c.key) << c.qtKey;
    }
}

TEST_F(KeysTest, SpacePlaysFromTheTreeButIsTheScaleBoxsInIt) {
    app::Session session;
    const auto none = [](const app::FileRequest&) { return std::optional<std::string>(); };
    panels::ToolPanels tools(session, files::SettingsFile("/nonexistent/Posewrighter.ini"), none);
    tools.ShowPanels();
    panels::EditorKeys keys(session, none, &tools);
    QWindow* window = tools.partPanel()->windowHandle();

    tools.partPanel()->scaleBox()->setFocus();
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_FALSE(session.playing());
    tools.partPanel()->tree()->setFocus();
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_TRUE(session.playing());
    tools.ClosePanels();
}

}  // namespace
