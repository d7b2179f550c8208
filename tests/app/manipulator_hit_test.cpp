// The selected part's manipulator in the view: which handle lies under the cursor, and a press
// on one starting its drag in place of a pick.

#include "app/steps/manipulator_hit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/core/session.h"
#include "app/steps/frame_input.h"
#include "scene/draw_primitives.h"
#include "tests/app/view_input_support.h"

namespace {

using namespace view_input_support;
using app::HandleMode;

// A unit cube at the origin, selected, seen from (0, 0, 10) looking down -z: its X line runs
// across the middle of the view, its Y line up and down, its Z line is a dot at the centre and
// its Z ring a circle about it.
class ManipulatorHitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        scene::SetView(view.transforms, {0, 0, 10}, {0, 0, 0}, {0, 1, 0});
        editing::PartScene& partScene = session.model.scene;
        ASSERT_TRUE(partScene.mesh[0].LoadFromFile(
            session.textures, std::string(POSEWRIGHTER_TEST_DATA) + "/model/cube.x", 0, false, 1));
        partScene.node[0].Bind(partScene.mesh[0], {0, 0, 0}, 1.0f);
        session.model.parts.count = 1;
        session.editor.SelectedPart = 0;
        session.SetPanelObserver(&notice);
    }
    app::ManipulatorFrame Frame() const {
        return app::PartManipulatorFrame(session.model.scene, 0, true);
    }
    // How far from the pivot, in world units on the plane z = 0, the cursor points.
    float WorldReach(framework::PixelPoint cursor) {
        const app::Ray ray = app::PointerRay(view.client(), cursor);
        const gfx::Vec3 p = ray.origin + ray.direction * (-ray.origin.z / ray.direction.z);
        return gfx::Vec3Length(p);
    }
    HandleMode Under(framework::PixelPoint cursor) {
        return app::HandleUnderCursor(Frame(), view.client(), cursor);
    }
    framework::InputState At(Button left, framework::PixelPoint cursor) {
        framework::InputState input = Input({.left = left}, cursor);
        input.screenCursor = cursor;
        return input;
    }

    CountingNotice notice;
    app::Session session;
    TestView view;
};

TEST_F(ManipulatorHitTest, LinesAndRingsWithinReachAwayFromThePivot) {
    const float radius = Frame().radius;
    ASSERT_GT(radius, 0.5f);
    // Along the diagonal up and to the right, where no line is: the ring where the cursor points
    // one radius from the pivot, nothing inside it.
    int onRing = 0;
    for (int d = 1; d < 200 && onRing == 0; ++d) {
        if (WorldReach({kCentre.x + d, kCentre.y - d}) >= radius) onRing = d;
    }
    ASSERT_GT(onRing, 20);
    const struct Case {
        framework::PixelPoint cursor;
        HandleMode expected;
    } cases[] = {
        {{kCentre.x + 30, kCentre.y}, HandleMode::kMoveX},
        {{kCentre.x - 30, kCentre.y + 4}, HandleMode::kMoveX},
        {{kCentre.x, kCentre.y - 30}, HandleMode::kMoveY},
        {{kCentre.x + onRing, kCentre.y - onRing}, HandleMode::kTurnZ},
        {{kCentre.x + onRing / 2, kCentre.y - onRing / 2}, HandleMode::kIdle},
        {{kCentre.x + 30, kCentre.y + 12}, HandleMode::kIdle},  // beside the line, out of reach
        {{kCentre.x + 5, kCentre.y}, HandleMode::kIdle},        // the pivot picks
        {{5, 5}, HandleMode::kIdle},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Under(c.cursor), c.expected) << c.cursor.x << "," << c.cursor.y;
    }
    // Behind the camera nothing is under the cursor.
    session.model.scene.node[0].SetLocalPosition({0, 0, 20});
    EXPECT_EQ(Under({kCentre.x + 30, kCentre.y}), HandleMode::kIdle);
}

TEST_F(ManipulatorHitTest, APressOnALineDragsThePartInsteadOfPickingAndIsOneStep) {
    const framework::PixelPoint onX{kCentre.x + 30, kCentre.y};
    app::HandleFrameInput(session, At(Button::kUp, onX), true, {kWidth, kHeight});
    EXPECT_EQ(session.editor.HoveredHandle, HandleMode::kMoveX);

    app::HandleFrameInput(session, At(Button::kPressed, onX), true, {kWidth, kHeight});
    EXPECT_EQ(session.editor.Handle, HandleMode::kMoveX);
    EXPECT_EQ(session.editor.HandlePhase, app::DragPhase::kDragging);
    EXPECT_EQ(notice.count, 0) << "the press picked";
    // 160 pixels right move the part one unit along its X axis.
    app::HandleFrameInput(session, At(Button::kHeld, {onX.x + 160, onX.y}), true,
                          {kWidth, kHeight});
    for (Button left : {Button::kReleased, Button::kUp}) {
        app::HandleFrameInput(session, At(left, {onX.x + 160, onX.y}), true, {kWidth, kHeight});
    }
    EXPECT_TRUE(Near(session.model.scene.node[0].GetPosition(), {1, 0, 0}, 1e-5f));
    EXPECT_EQ(session.editor.Handle, HandleMode::kIdle);
    EXPECT_EQ(session.editor.SelectedPart, 0);
    EXPECT_EQ(session.model.history.undoSize(), 1);

    // Undone, the part is back under the line; hidden, it offers no handle there.
    ASSERT_TRUE(session.model.Undo());
    app::HandleFrameInput(session, At(Button::kUp, onX), true, {kWidth, kHeight});
    EXPECT_EQ(session.editor.HoveredHandle, HandleMode::kMoveX);
    session.panels.partVisible[0] = false;
    app::HandleFrameInput(session, At(Button::kUp, onX), true, {kWidth, kHeight});
    EXPECT_EQ(session.editor.HoveredHandle, HandleMode::kIdle);
}

}  // namespace
