#include "app/editor/probe_line.h"

#include <gtest/gtest.h>

#include <string>

#include "app/core/startup_documents.h"

namespace {

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/";

// The whole line for a few states: window tests match its words exactly.
TEST(ProbeLine, NamesEachFactAsAWordInAFixedOrder) {
    struct Case {
        const char* what;
        app::ProbeFacts facts;
        const char* line;
    };
    app::ProbeFacts busy;
    busy.frame = 123;
    busy.parts = 13;
    busy.selected = 4;
    busy.handleMode = app::handle_mode::kMoveX;
    busy.lightDragMode = app::light_drag_mode::kDragTurn;
    busy.keyShown = 2;
    busy.playing = true;
    busy.undoDepth = 3;
    busy.partUnsaved = true;
    busy.animationUnsaved = true;
    busy.modal = true;
    app::ProbeFacts animationOnly;
    animationOnly.selected = 0;
    animationOnly.handleMode = app::handle_mode::kDragTurnZ;
    animationOnly.animationUnsaved = true;
    app::ProbeFacts partOnly;
    partOnly.partUnsaved = true;
    partOnly.keyShown = 16;
    const Case cases[] = {
        {"nothing yet",
         {},
         "frame=0 parts=0 selected=none handle=idle light=idle key=0 playing=0 undo=0 "
         "unsaved=none modal=0"},
        {"everything set", busy,
         "frame=123 parts=13 selected=4 handle=move-x light=drag-turn key=2 playing=1 undo=3 "
         "unsaved=part,anim modal=1"},
        {"part 0 dragged, animation unsaved", animationOnly,
         "frame=0 parts=0 selected=0 handle=drag-turn-z light=idle key=0 playing=0 undo=0 "
         "unsaved=anim modal=0"},
        {"part file unsaved", partOnly,
         "frame=0 parts=0 selected=none handle=idle light=idle key=16 playing=0 undo=0 "
         "unsaved=part modal=0"},
    };
    for (const Case& c : cases) EXPECT_EQ(app::ProbeLine(c.facts), c.line) << c.what;
}

// Every value the modes take has its name; values outside them show as numbers rather than as
// a wrong name.
TEST(ProbeLine, ModeNamesCoverArmedAndDraggingValuesAndShowOthersAsNumbers) {
    const struct {
        std::int16_t mode;
        const char* handle;
        const char* light;
    } cases[] = {
        {0, "idle", "idle"},
        {1, "move-x", "tilt"},
        {2, "move-y", "turn"},
        {3, "move-z", "3"},
        {4, "turn-x", "4"},
        {6, "turn-z", "6"},
        {7, "7", "7"},
        {10, "10", "10"},
        {11, "drag-move-x", "drag-tilt"},
        {12, "drag-move-y", "drag-turn"},
        {13, "drag-move-z", "13"},
        {16, "drag-turn-z", "16"},
        {17, "17", "17"},
        {-1, "-1", "-1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::HandleModeName(c.mode), c.handle) << c.mode;
        EXPECT_EQ(app::LightDragModeName(c.mode), c.light) << c.mode;
    }
}

// The session's facts as an opened model and an edit leave them.
TEST(ProbeLine, SessionFactsFollowTheModelTheSelectionAndTheUndoHistory) {
    app::Session session;
    EXPECT_EQ(app::ProbeLine(app::SessionProbeFacts(session)),
              "frame=0 parts=0 selected=none handle=idle light=idle key=0 playing=0 undo=0 "
              "unsaved=none modal=0");

    app::OpenStartupDocuments(session, {kRobot + "robot.pwp", ""});
    ASSERT_GT(session.model.parts.count, 1);
    session.editor.SelectedPart = 1;
    session.editor.HandleMode = app::handle_mode::kTurnY;
    session.model.undo.Push(1, session.model.scene);
    session.model.undo.Push(2, session.model.scene);
    const app::ProbeFacts facts = app::SessionProbeFacts(session);
    EXPECT_EQ(facts.parts, session.model.parts.count);
    EXPECT_EQ(facts.selected, 1);
    EXPECT_EQ(facts.handleMode, app::handle_mode::kTurnY);
    EXPECT_EQ(facts.undoDepth, 2);
}

}  // namespace
