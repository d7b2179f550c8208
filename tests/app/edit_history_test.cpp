// One history for every edit: each kind of change of the document or the pose is undone to the
// state before it and redone to the state after it, bit for bit, through the commands the
// panels and the view run.

#include "editing/edit_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/commands/animation_panel_commands.h"
#include "app/commands/part_panel_commands.h"
#include "app/core/documents.h"
#include "app/core/editor_actions.h"
#include "app/steps/manipulator_drags.h"
#include "framework/debug_log.h"
#include "framework/notice.h"

namespace {

using app::PartPanelCommand;

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp";
const std::string kCube = POSEWRIGHTER_TEST_DATA "/model/cube.x";

class EditHistoryTest : public ::testing::Test {
  public:
    void SetUp() override {
        framework::ProcessLog().Discard();
        framework::SetNoticeHandler([this](std::string_view text) { notices.emplace_back(text); });
        ASSERT_TRUE(app::OpenPartFile(session.model, kRobot));
    }
    void TearDown() override {
        framework::SetNoticeHandler({});
        framework::ProcessLog().SetPath("");
    }
    editing::EditState State() const {
        editing::EditState state;
        state.document = session.model.document;
        for (int i = 0; i < model::kMaxParts; ++i) {
            state.local[i] = session.model.scene.node[i].local;
            state.scale[i] = session.model.scene.node[i].scale;
        }
        return state;
    }
    void Run(PartPanelCommand command, const std::string& file = {}) {
        app::RunPartPanelCommand(session, command,
                                 [&](const app::FileRequest&) { return std::optional(file); });
    }
    // A move drag of the selected part through the frame step: press, 160 pixels right, release.
    void Drag() {
        app::ArmPartDrag(session.editor, app::HandleMode::kMoveX);
        for (int x : {100, 180, 260}) {
            framework::InputState input;
            input.buttons[0] = input.previousButtons[0] = true;
            input.screenCursor = {x, 100};
            app::DragPart(session, input);
        }
        app::DragPart(session, framework::InputState{});
    }

    app::Session session;
    std::vector<std::string> notices;
};

TEST_F(EditHistoryTest, EveryKindOfEditIsOneStepUndoneAndRedoneExactly) {
    using Edit = std::function<void(EditHistoryTest&)>;
    const auto command = [](PartPanelCommand c) { return [c](EditHistoryTest& t) { t.Run(c); }; };
    const struct Case {
        const char* what;
        Edit edit;
    } cases[] = {
        {"drag", [](EditHistoryTest& t) { t.Drag(); }},
        {"mirror pose", command(PartPanelCommand::kMirrorOrientation)},
        {"clear position", command(PartPanelCommand::kClearPosition)},
        {"paste pose", command(PartPanelCommand::kPasteOrientation)},
        {"store default pose", command(PartPanelCommand::kStoreDefaultOrientation)},
        {"get default position", command(PartPanelCommand::kFetchDefaultPosition)},
        {"set as default position", command(PartPanelCommand::kStoreDefaultPosition)},
        {"set the whole pose as default", command(PartPanelCommand::kStoreDefaultPose)},
        {"set key 1", [](EditHistoryTest& t) { app::StoreAnimationKey(t.session, 1); }},
        // A key never set puts every part at the origin.
        {"get key 9", [](EditHistoryTest& t) { app::FetchAnimationKey(t.session, 9); }},
        {"frame count", [](EditHistoryTest& t) { app::SetKeyFrameCount(t.session, 2, 17); }},
        {"scale", [](EditHistoryTest& t) { (void)app::ScaleInput(t.session, "2.5", 3); }},
        {"add part", [](EditHistoryTest& t) { t.Run(PartPanelCommand::kAddChildPart, kCube); }},
        {"delete part", command(PartPanelCommand::kDeletePart)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Each edit starts from a pose that every command changes: a part turned and moved.
        session.editor.SelectedPart = 2;
        session.model.scene.node[2].TurnLocalY(0.4f);
        session.model.scene.node[2].SetLocalPosition({0.3f, 0.2f, 0.1f});
        session.model.clipboards.orientation = {0.0f, 0.6f, 0.0f, 0.8f};
        const editing::EditState before = State();
        const int steps = session.model.history.undoSize();
        c.edit(*this);
        const editing::EditState after = State();
        ASSERT_FALSE(after.SameAs(before)) << "the edit changed nothing";
        EXPECT_EQ(session.model.history.undoSize(), steps + 1);
        EXPECT_FALSE(session.model.history.CanRedo());

        ASSERT_TRUE(session.model.Undo());
        EXPECT_TRUE(State().SameAs(before));
        ASSERT_TRUE(session.model.Redo());
        EXPECT_TRUE(State().SameAs(after));
        session.model.SealHistory();  // the scale box was left
    }
    EXPECT_TRUE(notices.empty()) << notices.front();
}

TEST_F(EditHistoryTest, ANewEditEmptiesRedoAndAnEditThatChangesNothingLeavesNoStep) {
    session.editor.SelectedPart = 1;
    Run(PartPanelCommand::kMirrorPosition);
    Run(PartPanelCommand::kClearOrientation);
    ASSERT_TRUE(session.model.Undo());
    ASSERT_TRUE(session.model.history.CanRedo());
    Run(PartPanelCommand::kCopyOrientation);  // changes nothing: redo is kept
    EXPECT_EQ(session.model.history.undoSize(), 1);
    EXPECT_TRUE(session.model.history.CanRedo());
    Drag();
    EXPECT_EQ(session.model.history.undoSize(), 2);
    EXPECT_FALSE(session.model.history.CanRedo());
    EXPECT_FALSE(session.model.Redo());
}

TEST_F(EditHistoryTest, TheNewestFiftyStepsAreKept) {
    session.editor.SelectedPart = 1;
    const editing::EditState start = State();
    for (int i = 0; i < editing::kHistoryCapacity + 1; ++i) {
        (void)app::SetKeyFrameCount(session, 1, i + 1);
    }
    int undone = 0;
    while (session.model.Undo()) ++undone;
    EXPECT_EQ(undone, editing::kHistoryCapacity);
    EXPECT_EQ(session.model.animation.frameCount[0], 1);  // the first step is forgotten
    EXPECT_FALSE(State().SameAs(start));
    int redone = 0;
    while (session.model.Redo()) ++redone;
    EXPECT_EQ(redone, editing::kHistoryCapacity);
    EXPECT_EQ(session.model.animation.frameCount[0], editing::kHistoryCapacity + 1);
}

TEST_F(EditHistoryTest, TypingOneScaleIsOneStepUntilTheBoxIsLeft) {
    const float scale = session.model.parts.scale;
    for (const char* text : {"2", "2.", "2.5"}) (void)app::ScaleInput(session, text, 3);
    EXPECT_EQ(app::ScaleBoxLeft(session), "2.5");
    (void)app::ScaleInput(session, "3", 1);
    EXPECT_EQ(session.model.history.undoSize(), 2);
    ASSERT_TRUE(session.model.Undo());
    EXPECT_EQ(session.model.parts.scale, 2.5f);
    ASSERT_TRUE(session.model.Undo());
    EXPECT_EQ(session.model.parts.scale, scale);
    EXPECT_EQ(session.model.scene.node[0].CombinedScale(), scale);
}

TEST_F(EditHistoryTest, UndoWaitsForADragAndEscapeLeavesNoStep) {
    session.editor.SelectedPart = 1;
    Run(PartPanelCommand::kMirrorPosition);
    const editing::EditState beforeDrag = State();
    app::ArmPartDrag(session.editor, app::HandleMode::kTurnY);
    framework::InputState held;
    held.buttons[0] = held.previousButtons[0] = true;
    held.screenCursor = {100, 100};
    app::DragPart(session, held);
    held.screenCursor = {200, 100};
    app::DragPart(session, held);
    EXPECT_FALSE(session.model.Undo()) << "a drag under way is not interrupted";
    held.escapeDown = true;
    EXPECT_TRUE(app::CancelDragOnEscape(session, held));
    EXPECT_TRUE(State().SameAs(beforeDrag));
    EXPECT_EQ(session.model.history.undoSize(), 1);
}

TEST_F(EditHistoryTest, OpeningOrLoadingADocumentStartsANewHistory) {
    session.editor.SelectedPart = 1;
    Run(PartPanelCommand::kMirrorPosition);
    Run(PartPanelCommand::kMirrorOrientation);
    ASSERT_TRUE(session.model.Undo());
    (void)app::LoadAnimation(session, [](const app::FileRequest&) {
        return std::optional<std::string>("/nonexistent/robot.pwa");
    });
    EXPECT_FALSE(session.model.history.CanUndo());
    EXPECT_FALSE(session.model.history.CanRedo());
    Run(PartPanelCommand::kMirrorPosition);
    ASSERT_TRUE(session.model.history.CanUndo());
    Run(PartPanelCommand::kOpenPartFile, kRobot);
    EXPECT_FALSE(session.model.history.CanUndo());
}

}  // namespace
