#include "app/manipulator_drags.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "scene/draw_primitives.h"
#include "tests/app/view_input_support.h"
#include "tests/framework/headless_device.h"

namespace {

using namespace view_input_support;
namespace hm = app::handle_mode;
namespace lm = app::light_drag_mode;

gfx::Vec3 Row(const gfx::Matrix& m, int row) {
    return {m.m[row][0], m.m[row][1], m.m[row][2]};
}

// The left button in this poll, with the screen cursor at x (y = 100). The clamped client
// cursor is left at the corner: the drags must not read it.
framework::InputState Left(Button left, int x, int y = 100) {
    framework::InputState input = Input({.left = left}, {0, 0});
    input.screenCursor = {x, y};
    return input;
}

// A root at scale 2 turned about Z, and a child of it turned about X: no axis is a world axis.
class PartDragTest : public ::testing::Test {
  protected:
    void SetUp() override {
        model::PartTable& parts = session.model.parts;
        parts.count = 2;
        parts.scale = 2.0f;
        parts.node[0].Bind(parts.mesh[0], {0.5f, 0.0f, 0.0f}, 2.0f);
        parts.node[0].TurnLocalZ(0.5f);
        parts.node[1].parent = &parts.node[0];
        parts.node[1].Bind(parts.mesh[1], {0.0f, 0.0f, 0.0f}, 1.0f);
        parts.node[1].SetPosition({1.0f, 1.0f, 0.0f});
        parts.node[1].TurnLocalX(0.7f);
    }

    // Arms the mode on the part, presses at xs[0], holds through the rest, releases and lets go.
    void Drag(int part, std::int16_t mode, bool local, const std::vector<int>& xs) {
        session.editor.SelectedPart = static_cast<model::PartIndex>(part);
        session.panels.handlingLocal = local;
        session.editor.HandleMode = mode;
        app::DragPart(session, Left(Button::kPressed, xs.front()));
        for (int x : xs) app::DragPart(session, Left(Button::kHeld, x));
        app::DragPart(session, Left(Button::kUp, xs.back() + 500));
        ASSERT_EQ(session.editor.HandleMode, hm::kIdle);
    }
    scene::TransformNode& Node(int i) { return session.model.parts.node[i]; }

    app::Session session;
};

TEST_F(PartDragTest, MovesFollowTheDistanceFromThePress) {
    const float c = std::cos(0.7f), s = std::sin(0.7f);
    struct Case {
        const char* name;
        int part;
        std::int16_t mode;
        bool local;
        std::vector<int> xs;
        gfx::Vec3 moved;  // of the stored local position (Local) or of the world position
    };
    const Case cases[] = {
        {"root along its own X",
         0,
         hm::kMoveX,
         true,
         {100, 180, 260},
         {std::cos(0.5f), std::sin(0.5f), 0.0f}},
        {"child along its own Y, in its parent's units",
         1,
         hm::kMoveY,
         true,
         {100, 300, 260},
         {0.0f, 0.5f * c, 0.5f * s}},
        {"child along world Z, off the screen",
         1,
         hm::kMoveZ,
         false,
         {30, 0, -130},
         {0.0f, 0.0f, -1.0f}},
        {"root along world X", 0, hm::kMoveX, false, {100, 260}, {1.0f, 0.0f, 0.0f}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const auto where = [&] {
            return test.local ? Row(Node(test.part).local, 3) : Node(test.part).WorldPosition();
        };
        const gfx::Vec3 before = where();
        Drag(test.part, test.mode, test.local, test.xs);
        EXPECT_TRUE(Near(where(), before + test.moved, 1e-5f));
    }
}

TEST_F(PartDragTest, A160PixelTurnLeftIsOneRadianInOneStepOrMany) {
    for (int step : {160, 10, 1}) {
        SCOPED_TRACE(step);
        const gfx::Matrix before = Node(1).local;
        std::vector<int> xs;
        for (int x = 100; x >= -60; x -= step) xs.push_back(x);  // past the screen's left edge
        Drag(1, hm::kTurnY, true, xs);
        EXPECT_TRUE(MatricesNear(Node(1).local,
                                 gfx::MatrixMultiply(gfx::MatrixRotationY(1.0f), before), 1e-5f));
    }
}

TEST_F(PartDragTest, AWorldYTurnOfATiltedPartTurnsAboutTheVerticalThroughItsPivot) {
    const gfx::Matrix before = Node(1).WorldMatrix();
    Drag(1, hm::kTurnY, false, {200, 120, 40});
    const gfx::Matrix turned = gfx::MatrixRotationY(1.0f);
    const gfx::Matrix after = Node(1).WorldMatrix();
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_TRUE(
            Near(Row(after, axis), gfx::Vec3TransformNormal(Row(before, axis), turned), 1e-5f))
            << axis;
    }
    EXPECT_TRUE(Near(Row(after, 3), Row(before, 3), 1e-6f));
}

TEST_F(PartDragTest, VerticalMovementChangesNothing) {
    for (bool local : {true, false}) {
        for (std::int16_t mode = hm::kMoveX; mode <= hm::kTurnZ; ++mode) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << (local ? " local" : " world"));
            const gfx::Matrix before = Node(1).local;
            session.editor.SelectedPart = 1;
            session.panels.handlingLocal = local;
            session.editor.HandleMode = mode;
            app::DragPart(session, Left(Button::kPressed, 100, 100));
            for (int y : {300, -50, 2000}) app::DragPart(session, Left(Button::kHeld, 100, y));
            EXPECT_TRUE(MatricesNear(Node(1).local, before, 1e-6f));
        }
    }
}

TEST_F(PartDragTest, EveryDragRecordsOneUndoEntryAtItsStartEvenWithoutMovement) {
    for (std::int16_t mode = hm::kMoveX; mode <= hm::kTurnZ; ++mode) {
        Drag(0, mode, true, {100, 100, 100});
        EXPECT_EQ(session.model.undo.size(), mode);
    }
    // An armed mode that finds the button already up, or no selection, ends without an entry.
    session.editor.HandleMode = hm::kTurnX;
    app::DragPart(session, Left(Button::kUp, 100));
    EXPECT_EQ(session.editor.HandleMode, hm::kIdle);
    session.editor.HandleMode = hm::kMoveX;
    session.editor.SelectedPart = model::kNoPart;
    app::DragPart(session, Left(Button::kPressed, 100));
    EXPECT_EQ(session.editor.HandleMode, hm::kIdle);
    EXPECT_EQ(session.model.undo.size(), 6);

    // The entry holds the pose before the drag.
    const gfx::Matrix before = Node(1).local;
    Drag(1, hm::kTurnZ, true, {100, 20});
    session.model.PopUndo();
    EXPECT_TRUE(MatricesNear(Node(1).local, before, 1e-5f));
}

TEST_F(PartDragTest, AReleaseBetweenTwoPollsAppliesTheLastPositionOnce) {
    const gfx::Matrix before = Node(0).local;
    session.editor.SelectedPart = 0;
    session.editor.HandleMode = hm::kTurnX;
    app::DragPart(session, Left(Button::kPressed, 100));
    app::DragPart(session, Left(Button::kHeld, 20));
    app::DragPart(session, Left(Button::kReleased, -60));
    EXPECT_EQ(session.editor.HandleMode, hm::kDragTurnX);
    app::DragPart(session, Left(Button::kUp, -140));
    EXPECT_EQ(session.editor.HandleMode, hm::kIdle);
    EXPECT_TRUE(MatricesNear(Node(0).local, gfx::MatrixMultiply(gfx::MatrixRotationX(1.0f), before),
                             1e-5f));
}

class LightDragTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(headless.created); }
    void Frame(Button left, int x) {
        app::DragLight(session, headless.device, Left(left, x, x));  // y moves too: ignored
    }
    const framework::Light& Light() { return scene::CurrentLight(headless.device); }

    QuietLog quiet;
    framework::testing_support::HeadlessDevice headless;
    app::Session session;
};

TEST_F(LightDragTest, TiltAboutItsOwnHorizontalAxisOrTurnAboutTheVerticalFromThePress) {
    struct Case {
        std::int16_t mode;
        gfx::Vec3 start;
        int to;  // from 300, through 350
        gfx::Vec3 expected;
    };
    const float c = std::cos(1.0f), s = std::sin(1.0f);
    const Case cases[] = {
        {lm::kTilt, {1.0f, 0.0f, 0.0f}, 200, {c, -s, 0.0f}},
        {lm::kTurn, {1.0f, 0.0f, 0.0f}, 200, {c, 0.0f, -s}},
        {lm::kTurn, {0.0f, 0.0f, 2.0f}, 400, {-s, 0.0f, c}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.mode);
        scene::SetDirectionalLight(headless.device, test.start, 0.5f, 0.5f, 0.5f, 0.0f);
        session.editor.LightDragMode = test.mode;
        Frame(Button::kPressed, 300);
        EXPECT_EQ(session.editor.LightDragMode, test.mode + lm::kDragging);
        Frame(Button::kHeld, 350);
        Frame(Button::kHeld, test.to);
        EXPECT_TRUE(Near(Light().direction, test.expected, 1e-5f));
        Frame(Button::kUp, 0);
        EXPECT_EQ(session.editor.LightDragMode, lm::kIdle);
        EXPECT_EQ(session.model.undo.size(), 0);
    }
}

TEST_F(LightDragTest, PowerIsReadEveryFrameOfTheDrag) {
    scene::SetDirectionalLight(headless.device, {0.0f, 0.0f, 1.0f}, 0.5f, 0.5f, 0.5f, 0.0f);
    session.editor.LightDragMode = lm::kTurn;
    Frame(Button::kPressed, 300);
    for (int position : {5, 8, 0, 10}) {
        session.panels.lightPowerPosition = position;
        Frame(Button::kHeld, 300);
        const float p = static_cast<float>(position) * 0.1f;
        EXPECT_EQ(Light().diffuse, (gfx::ColourValue{p, p, p, 0.0f}));
        EXPECT_TRUE(Near(Light().direction, {0.0f, 0.0f, 1.0f}, 1e-6f));
    }
}

}  // namespace
