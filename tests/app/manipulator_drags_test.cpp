#include "app/steps/manipulator_drags.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "app/core/stored_light.h"
#include "tests/app/view_input_support.h"

namespace {

using namespace view_input_support;
using hm = app::HandleMode;

// One poll: the left button's state (0 up, 1 released, 2 pressed, 3 held) and the screen cursor.
// The clamped client cursor stays at the corner: the drags must not read it.
struct Poll {
    int left, x, y = 100;
};
framework::InputState At(Poll poll) {
    framework::InputState input;
    input.buttons[0] = poll.left >= 2;
    input.previousButtons[0] = poll.left % 2 == 1;
    input.screenCursor = {poll.x, poll.y};
    return input;
}

gfx::Vec3 Row(const gfx::Matrix& m, int r) {
    return {m.m[r][0], m.m[r][1], m.m[r][2]};
}
gfx::Matrix WithRow(gfx::Matrix m, int r, gfx::Vec3 v) {
    m.m[r][0] = v.x;
    m.m[r][1] = v.y;
    m.m[r][2] = v.z;
    return m;
}
gfx::Matrix Moved(const gfx::Matrix& m, gfx::Vec3 by) {
    return WithRow(m, 3, Row(m, 3) + by);
}
gfx::Matrix AxesTurned(gfx::Matrix m, const gfx::Matrix& turn) {
    for (int r = 0; r < 3; ++r) m = WithRow(m, r, gfx::Vec3TransformNormal(Row(m, r), turn));
    return m;
}

// Part 0: a root at scale 2 turned about Z; part 1: its child turned about X.
TEST(PartDragTest, DragsFollowTheHorizontalMovementAndEachIsOneHistoryStep) {
    app::Session session;
    model::PartTable& parts = session.model.parts;
    editing::PartScene& partScene = session.model.scene;
    parts.scale = 2.0f;
    partScene.node[0].Bind(partScene.mesh[0], {0.5f, 0.0f, 0.0f}, 2.0f);
    partScene.node[0].TurnLocalZ(0.5f);
    partScene.node[1].parent = &partScene.node[0];
    partScene.node[1].Bind(partScene.mesh[1], {1.0f, 1.0f, 0.0f}, 1.0f);
    partScene.node[1].TurnLocalX(0.7f);

    using Expect = std::function<gfx::Matrix(const gfx::Matrix&)>;  // world matrix from before
    struct Case {
        int part;
        hm mode;
        bool local;
        std::vector<Poll> polls;
        Expect expect;
    };
    const auto y1 = gfx::MatrixRotationY(1.0f);
    std::vector<Case> cases = {
        {0,
         hm::kMoveX,
         true,
         {{2, 100}, {3, 180, 0}, {3, 260, 400}},
         [](auto& w) { return Moved(w, gfx::Vec3Normalize(Row(w, 0))); }},
        // 160 pixels are 1 / scale in the child's stored position: one unit in the world.
        {1,
         hm::kMoveY,
         true,
         {{2, 100}, {3, 300}, {3, 260}},
         [](auto& w) { return Moved(w, gfx::Vec3Normalize(Row(w, 1))); }},
        {1,
         hm::kMoveZ,
         false,
         {{2, 30}, {3, 0}, {3, -130}},
         [](auto& w) {
             return Moved(w, {0.0f, 0.0f, -1.0f});
         }},
        {1,
         hm::kTurnY,
         true,
         {{2, 100}, {3, -60}},
         [&](auto& w) { return gfx::MatrixMultiply(y1, w); }},
        {1,
         hm::kTurnY,
         false,
         {{2, 200}, {3, 120}, {3, 40}},
         [&](auto& w) { return AxesTurned(w, y1); }},
        // Released between two polls: the last position still counts, once.
        {0,
         hm::kTurnX,
         true,
         {{2, 100}, {3, 20}, {1, -60}, {0, -140}},
         [](auto& w) { return gfx::MatrixMultiply(gfx::MatrixRotationX(1.0f), w); }},
    };
    Case steps{1, hm::kTurnY, true, {{2, 100}}, cases[3].expect};
    for (int x = 99; x >= -60; --x) steps.polls.push_back({3, x});
    cases.push_back(steps);
    for (bool local : {true, false}) {
        for (hm mode : {hm::kMoveX, hm::kMoveY, hm::kMoveZ, hm::kTurnX, hm::kTurnY, hm::kTurnZ}) {
            cases.push_back({1, mode, local, {{2, 100}, {3, 100, 300}, {3, 100, -50}}, [](auto& w) {
                                 return w;
                             }});
        }
    }

    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const Case& test = cases[i];
        const gfx::Matrix expected = test.expect(partScene.node[test.part].WorldMatrix());
        const int entries = session.model.history.undoSize();
        const gfx::Matrix before = partScene.node[test.part].WorldMatrix();
        session.editor.SelectedPart = static_cast<model::PartIndex>(test.part);
        session.panels.handlingLocal = test.local;
        app::ArmPartDrag(session.editor, test.mode);
        for (const Poll& poll : test.polls) app::DragPart(session, At(poll));
        app::DragPart(session, At({0, -1000}));
        EXPECT_EQ(session.editor.Handle, hm::kIdle);
        EXPECT_EQ(session.editor.HandlePhase, app::DragPhase::kArmed) << "ready for the next";
        EXPECT_TRUE(MatricesNear(partScene.node[test.part].WorldMatrix(), expected, 2e-5f));
        // A drag that moved nothing leaves no step.
        const bool moved = partScene.node[test.part].WorldMatrix() != before;
        EXPECT_EQ(moved, i < 7);
        EXPECT_EQ(session.model.history.undoSize(), entries + (moved ? 1 : 0));
    }

    // Without a selection nothing arms, and an armed drag whose selection went ends unrecorded.
    session.editor.SelectedPart = model::kNoPart;
    app::ArmPartDrag(session.editor, hm::kMoveX);
    EXPECT_EQ(session.editor.Handle, hm::kIdle);
    session.editor.Handle = hm::kMoveX;
    app::DragPart(session, At({2, 100}));
    EXPECT_EQ(session.editor.Handle, hm::kIdle);
    EXPECT_EQ(session.model.history.undoSize(), 7);
}

TEST(LightDragTest, TiltOrTurnFromThePressWithThePowerReadEveryFrame) {
    QuietLog quiet;
    app::Session session;
    const float c = std::cos(1.0f), s = std::sin(1.0f);
    struct Case {
        app::LightDragMode mode;
        gfx::Vec3 start;
        int to;  // from 300 through 350: 100 pixels left is +1 radian
        gfx::Vec3 expected;
    } const cases[] = {{app::LightDragMode::kTilt, {1.0f, 0.0f, 0.0f}, 200, {c, -s, 0.0f}},
                       {app::LightDragMode::kTurn, {1.0f, 0.0f, 0.0f}, 200, {c, 0.0f, -s}},
                       {app::LightDragMode::kTurn, {0.0f, 0.0f, 2.0f}, 400, {-s, 0.0f, c}}};
    for (const Case& test : cases) {
        app::SetLight(session.editor, test.start, 0.5f);
        app::ArmLightDrag(session.editor, test.mode);
        for (Poll poll : {Poll{2, 300}, Poll{3, 350, 0}, Poll{3, test.to, 900}}) {
            app::DragLight(session, At(poll));
        }
        EXPECT_TRUE(Near(app::LightDirection(session.editor.Light), test.expected, 1e-5f));
        for (int position : {8, 0}) {
            app::SetLightPowerPosition(session.editor, position);
            app::DragLight(session, At({3, test.to}));
            const float p = app::LightPowerAt(position);
            EXPECT_EQ(session.editor.Light.power, p);
        }
        app::DragLight(session, At({0, 0}));
        EXPECT_EQ(session.editor.LightDrag, app::LightDragMode::kIdle);
        EXPECT_EQ(session.editor.LightDragPhase, app::DragPhase::kArmed);
    }
    EXPECT_FALSE(session.model.history.CanUndo());
}

TEST(EscapeDuringADragTest, CancelsItAndLeavesNoUndoEntry) {
    QuietLog quiet;
    app::Session session;
    model::PartTable& parts = session.model.parts;
    editing::PartScene& partScene = session.model.scene;
    parts.count = 1;
    partScene.node[0].Bind(partScene.mesh[0], {0.5f, 0.0f, 0.0f}, 1.0f);
    const gfx::Matrix before = partScene.node[0].local;
    session.editor.SelectedPart = 0;
    const auto escape = [](Poll poll, bool down, bool downBefore) {
        framework::InputState input = At(poll);
        input.escapeDown = down;
        input.previousEscapeDown = downBefore;
        return input;
    };

    // A part drag under way: Escape puts the part back, takes its undo entry and ends it.
    app::ArmPartDrag(session.editor, hm::kMoveX);
    app::DragPart(session, At({2, 300}));
    app::DragPart(session, At({3, 460}));
    ASSERT_NE(partScene.node[0].local, before);
    ASSERT_TRUE(session.model.EditUnderWay());
    EXPECT_TRUE(app::CancelDragOnEscape(session, escape({3, 480}, true, false)));
    EXPECT_EQ(partScene.node[0].local, before);
    EXPECT_FALSE(session.model.EditUnderWay());
    EXPECT_FALSE(session.model.history.CanUndo());
    EXPECT_FALSE(app::DragInProgress(session.editor));
    // The button still held moves nothing more.
    app::DragPart(session, At({3, 600}));
    EXPECT_EQ(partScene.node[0].local, before);

    // A light drag: back to the direction at the press.
    app::SetLight(session.editor, {0.0f, 0.0f, 1.0f}, 0.5f);
    app::ArmLightDrag(session.editor, app::LightDragMode::kTurn);
    app::DragLight(session, At({2, 300}));
    app::DragLight(session, At({3, 200}));
    EXPECT_TRUE(app::CancelDragOnEscape(session, escape({3, 200}, true, false)));
    EXPECT_TRUE(Near(app::LightDirection(session.editor.Light), {0.0f, 0.0f, 1.0f}, 1e-6f));

    // Escape held on from before the drag, or no drag at all: nothing to cancel.
    app::ArmPartDrag(session.editor, hm::kMoveX);
    app::DragPart(session, At({2, 300}));
    EXPECT_FALSE(app::CancelDragOnEscape(session, escape({3, 300}, true, true)));
    EXPECT_TRUE(app::DragInProgress(session.editor));
    app::DragPart(session, At({0, 300}));
    EXPECT_FALSE(app::CancelDragOnEscape(session, escape({0, 300}, true, false)));
}

}  // namespace
