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
    busy.handle = app::HandleMode::kMoveX;
    busy.lightDrag = app::LightDragMode::kTurn;
    busy.lightDragPhase = app::DragPhase::kDragging;
    busy.keyShown = 2;
    busy.playing = true;
    busy.onion = true;
    busy.undoDepth = 3;
    busy.redoDepth = 4;
    busy.hovered = app::HandleMode::kTurnY;
    busy.partUnsaved = true;
    busy.animationUnsaved = true;
    busy.modal = true;
    app::ProbeFacts animationOnly;
    animationOnly.selected = 0;
    animationOnly.handle = app::HandleMode::kTurnZ;
    animationOnly.handlePhase = app::DragPhase::kDragging;
    animationOnly.animationUnsaved = true;
    app::ProbeFacts partOnly;
    partOnly.partUnsaved = true;
    partOnly.keyShown = 16;
    const Case cases[] = {
        {"nothing yet",
         {},
         "frame=0 parts=0 selected=none handle=idle hover=idle light=idle key=0 playing=0 onion=0 "
         "undo=0 "
         "redo=0 "
         "unsaved=none modal=0"},
        {"everything set", busy,
         "frame=123 parts=13 selected=4 handle=move-x hover=turn-y light=drag-turn key=2 playing=1 "
         "onion=1 undo=3 "
         "redo=4 unsaved=part,anim modal=1"},
        {"part 0 dragged, animation unsaved", animationOnly,
         "frame=0 parts=0 selected=0 handle=drag-turn-z hover=idle light=idle key=0 playing=0 "
         "onion=0 undo=0 redo=0 "
         "unsaved=anim modal=0"},
        {"part file unsaved", partOnly,
         "frame=0 parts=0 selected=none handle=idle hover=idle light=idle key=16 playing=0 onion=0 "
         "undo=0 "
         "redo=0 "
         "unsaved=part modal=0"},
    };
    for (const Case& c : cases) EXPECT_EQ(app::ProbeLine(c.facts), c.line) << c.what;
}

// Every mode has its name armed and dragging; idle stays idle in either phase, and a value
// outside the enum shows as its number rather than as a wrong name.
TEST(ProbeLine, ModeNamesCoverArmedAndDraggingModesAndShowOthersAsNumbers) {
    using app::DragPhase;
    const struct {
        int mode;
        const char* handleArmed;
        const char* handleDragging;
        const char* lightArmed;
        const char* lightDragging;
    } cases[] = {
        {0, "idle", "idle", "idle", "idle"},
        {1, "move-x", "drag-move-x", "tilt", "drag-tilt"},
        {2, "move-y", "drag-move-y", "turn", "drag-turn"},
        {3, "move-z", "drag-move-z", "3", "3"},
        {4, "turn-x", "drag-turn-x", "4", "4"},
        {6, "turn-z", "drag-turn-z", "6", "6"},
        {7, "7", "7", "7", "7"},
        {-1, "-1", "-1", "-1", "-1"},
    };
    for (const auto& c : cases) {
        const auto handle = static_cast<app::HandleMode>(c.mode);
        const auto light = static_cast<app::LightDragMode>(c.mode);
        EXPECT_EQ(app::HandleModeName(handle, DragPhase::kArmed), c.handleArmed) << c.mode;
        EXPECT_EQ(app::HandleModeName(handle, DragPhase::kDragging), c.handleDragging) << c.mode;
        EXPECT_EQ(app::LightDragModeName(light, DragPhase::kArmed), c.lightArmed) << c.mode;
        EXPECT_EQ(app::LightDragModeName(light, DragPhase::kDragging), c.lightDragging) << c.mode;
    }
}

// The session's facts as an opened model and an edit leave them.
TEST(ProbeLine, SessionFactsFollowTheModelTheSelectionAndTheUndoHistory) {
    app::Session session;
    EXPECT_EQ(app::ProbeLine(app::SessionProbeFacts(session)),
              "frame=0 parts=0 selected=none handle=idle hover=idle light=idle key=1 playing=0 "
              "onion=0 undo=0 "
              "redo=0 unsaved=none modal=0");

    app::OpenStartupDocuments(session, {kRobot + "robot.pwp", ""});
    ASSERT_GT(session.model.parts.count, 1);
    session.editor.SelectedPart = 1;
    session.editor.Handle = app::HandleMode::kTurnY;
    session.editor.ShownKey = 3;
    session.editor.Playing = true;
    session.panels.onionTicked = true;
    for (float angle : {0.5f, 1.0f, 1.5f}) {
        session.model.BeginEdit();
        session.model.scene.node[1].TurnLocalX(angle);
        session.model.EndEdit();
    }
    ASSERT_TRUE(session.model.Undo());
    const app::ProbeFacts facts = app::SessionProbeFacts(session);
    EXPECT_EQ(facts.parts, session.model.parts.count);
    EXPECT_EQ(facts.selected, 1);
    EXPECT_EQ(facts.handle, app::HandleMode::kTurnY);
    EXPECT_EQ(facts.keyShown, 3);
    EXPECT_TRUE(facts.playing);
    EXPECT_TRUE(facts.onion);
    EXPECT_EQ(facts.undoDepth, 2);
    EXPECT_EQ(facts.redoDepth, 1);
}

}  // namespace
