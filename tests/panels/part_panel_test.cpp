// The Part panel's widgets on the session: the menu and the Undo button as the selection and
// the table allow, the tree rebuilt and selected both ways, the boxes, the scale box's filter.

#include "panels/part_panel.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <deque>
#include <set>

#include "framework/debug_log.h"
#include "panels/tool_panels.h"
#include "tests/panels/panel_test_support.h"

// Under LeakSanitizer: the font library keeps allocations it never frees; they are not this
// program's.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace {

using Command = app::PartPanelCommand;

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp";
const std::string kCube = POSEWRIGHTER_TEST_DATA "/model/cube.x";

class PartPanelTest : public panels::testing_support::PanelTest {
  protected:
    void SetUp() override {
        framework::ProcessLog().Discard();
        panels.ShowPanels();
        ASSERT_NE(panel(), nullptr);
    }
    void TearDown() override {
        panels.ClosePanels();
        framework::ProcessLog().SetPath("");
    }
    panels::PartPanel* panel() const { return panels.partPanel(); }
    // Chooses a menu command as the user does; the file dialog answers the next path queued.
    void Choose(Command command, std::optional<std::string> path = std::nullopt) {
        answers.push_back(std::move(path));
        panel()->action(command)->trigger();
    }
    std::set<Command> Offered() const {
        std::set<Command> offered;
        for (Command command : app::kPartPanelCommands) {
            QAction* action = panel()->action(command);
            if (action != nullptr ? action->isEnabled() : panel()->undoButton()->isEnabled()) {
                offered.insert(command);
            }
        }
        return offered;
    }

    std::deque<std::optional<std::string>> answers;
    app::Session session;
    panels::ToolPanels panels{session, files::SettingsFile("/nonexistent/Posewrighter.ini"),
                              [this](const app::FileRequest&) {
                                  std::optional<std::string> answer;
                                  if (!answers.empty()) {
                                      answer = answers.front();
                                      answers.pop_front();
                                  }
                                  return answer;
                              }};
};

TEST_F(PartPanelTest, TheMenuOffersWhatTheSelectionAndTheCountAllow) {
    // The rules themselves are tested headless; here the widgets must follow them.
    const auto expected = [this] {
        std::set<Command> enabled;
        const app::PartMenuState state = app::MenuState(session);
        for (Command command : app::kPartPanelCommands) {
            if (state.Enabled(command)) enabled.insert(command);
        }
        return enabled;
    };
    EXPECT_EQ(Offered(), (std::set{Command::kOpenPartFile, Command::kAddChildPart}));

    Choose(Command::kOpenPartFile, kRobot);
    ASSERT_EQ(session.model.parts.count, 12);
    EXPECT_FALSE(Offered().contains(Command::kAddChildPart));  // no selection: no second root
    EXPECT_EQ(Offered(), expected());

    panel()->tree()->setCurrentItem(panel()->item(4));
    EXPECT_EQ(session.editor.SelectedPart, 4);
    EXPECT_TRUE(Offered().contains(Command::kDeletePart));
    EXPECT_EQ(Offered(), expected());

    // A part picked in the view is selected in the tree; a click on nothing clears it.
    session.editor.SelectedPart = 7;
    session.panelObserver().SelectionChanged(7);
    EXPECT_EQ(panel()->tree()->selectedItems(), QList<QTreeWidgetItem*>{panel()->item(7)});
    session.editor.SelectedPart = model::kNoPart;
    session.panelObserver().SelectionChanged(model::kNoPart);
    EXPECT_TRUE(panel()->tree()->selectedItems().isEmpty());
    EXPECT_FALSE(panel()->action(Command::kDeletePart)->isEnabled());
}

TEST_F(PartPanelTest, ARebuildTicksEveryBoxAndAnAddedPartEndsSelected) {
    Choose(Command::kOpenPartFile, kRobot);
    EXPECT_EQ(panel()->scaleBox()->text(),
              QString::fromStdString(app::ScaleText(session.model.parts.scale)));
    // Unticking a part hides it from drawing and picking.
    panel()->item(2)->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(session.panels.IsPartVisible(2));
    EXPECT_TRUE(session.panels.IsPartVisible(3));

    panel()->tree()->setCurrentItem(panel()->item(2));
    Choose(Command::kAddChildPart, kCube);
    ASSERT_EQ(session.model.parts.count, 13);
    const model::PartIndex added = session.editor.SelectedPart;
    ASSERT_GE(added, 0);
    EXPECT_EQ(session.model.parts.Name(added), "cube.x");
    EXPECT_EQ(session.model.parts.parent[added], 2);
    EXPECT_EQ(panel()->tree()->selectedItems(), QList<QTreeWidgetItem*>{panel()->item(added)});
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(panel()->item(i)->checkState(0), Qt::Checked) << i;
        EXPECT_TRUE(session.panels.IsPartVisible(i)) << i;
        EXPECT_EQ(panel()->item(i)->text(0).toStdString(), session.model.parts.Name(i));
    }
    // The cube hangs under part 2, expanded like every branch.
    const QList<QTreeWidgetItem*> cubes =
        panel()->tree()->findItems("cube.x", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(cubes.size(), 1);
    QTreeWidgetItem* cube = cubes.front();
    EXPECT_EQ(cube->parent()->text(0).toStdString(), session.model.parts.Name(2));
    EXPECT_TRUE(cube->parent()->isExpanded());

    Choose(Command::kClosePartFile);
    EXPECT_EQ(panel()->tree()->topLevelItemCount(), 0);
    EXPECT_EQ(panel()->item(0), nullptr);
}

TEST_F(PartPanelTest, UndoAndRedoButtonsFollowTheHistoryAndAnswerTheirMnemonics) {
    Choose(Command::kOpenPartFile, kRobot);
    QPushButton* undo = panel()->undoButton();
    QPushButton* redo = panel()->redoButton();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    for (float angle : {0.5f, 1.0f}) {
        session.model.BeginEdit();
        session.model.scene.node[3].TurnLocalX(angle);
        session.model.EndEdit();
    }
    EXPECT_TRUE(undo->isEnabled());
    QTest::mouseClick(undo, Qt::LeftButton);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    panel()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel()));
    // A mnemonic presses its button as a click that shows for a moment.
    QTest::keyClick(panel()->windowHandle(), Qt::Key_U, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !undo->isEnabled(); }, 2000));
    EXPECT_EQ(session.model.history.redoSize(), 2);
    QTest::keyClick(panel()->windowHandle(), Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return undo->isEnabled(); }, 2000));
    EXPECT_EQ(session.model.history.redoSize(), 1);

    // Outline and Grid are what the frame reads.
    EXPECT_TRUE(session.panels.gridTicked);
    EXPECT_FALSE(session.panels.outlineTicked);
    QTest::keyClick(panel()->windowHandle(), Qt::Key_O, Qt::AltModifier);
    QTest::mouseClick(panel()->gridButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return session.panels.outlineTicked; }, 2000));
    EXPECT_FALSE(session.panels.gridTicked);
}

TEST_F(PartPanelTest, ARightClickSelectsTheItemBeforeTheEditMenuAndEmptySpaceShowsNone) {
    Choose(Command::kOpenPartFile, kRobot);
    int shown = 0;
    QObject::connect(panel()->editMenu(), &QMenu::aboutToShow, [&] {
        ++shown;
        EXPECT_EQ(session.editor.SelectedPart, 5);  // selected before the menu opens
        EXPECT_TRUE(panel()->action(Command::kDeletePart)->isEnabled());
        QTimer::singleShot(0, panel()->editMenu(), &QMenu::close);
    });
    QWidget* viewport = panel()->tree()->viewport();
    const auto rightClick = [&](QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QCoreApplication::sendEvent(viewport, &event);
    };
    rightClick(panel()->tree()->visualItemRect(panel()->item(5)).center());
    EXPECT_EQ(shown, 1);
    rightClick(QPoint(5, viewport->height() - 5));  // below the last item
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(session.editor.SelectedPart, 5);
}

TEST_F(PartPanelTest, TheScaleBoxKeepsDigitsAndOnePointAndShowsTheScaleWhenLeft) {
    Choose(Command::kOpenPartFile, kRobot);
    QLineEdit* box = panel()->scaleBox();
    EXPECT_FALSE(box->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(box->maxLength(), app::kScaleBoxLimit);
    struct Case {
        const char* typed;
        const char* shown;
        int caret;
        float scale;
    };
    for (const Case& c : {Case{"1.5a", "1.5", 3, 1.5f}, Case{"-2", "2", 1, 2.0f},
                          Case{"1.2.5", "1.25", 4, 1.25f}, Case{"0", "0", 1, 1.0f}}) {
        session.model.parts.scale = 1.0f;
        session.model.scene.node[0].SetScale(1.0f);
        box->clear();
        QTest::keyClicks(box, c.typed);
        EXPECT_EQ(box->text(), c.shown) << c.typed;
        EXPECT_EQ(box->cursorPosition(), c.caret) << c.typed;
        EXPECT_EQ(session.model.parts.scale, c.scale) << c.typed;
        EXPECT_EQ(session.model.scene.node[0].scale, c.scale) << c.typed;
    }
    box->clear();
    QTest::keyClicks(box, "2.50");
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &leave);
    EXPECT_EQ(box->text(), "2.5");
}

}  // namespace
