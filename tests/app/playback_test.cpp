#include "app/steps/playback.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "app/core/editor_actions.h"
#include "app/steps/frame_input.h"
#include "app/steps/manipulator_drags.h"
#include "gfx/math/math.h"
#include "tests/app/view_input_support.h"
#include "tests/framework/headless_device.h"

namespace {

using Shown = std::vector<std::pair<int, int>>;  // (frame, key number) the panel was told

class PlaybackTest : public ::testing::Test, public app::PanelObserver {
  protected:
    void SetUp() override {
        session.SetPanelObserver(this);
        app::SetPlaying(session, true);
    }
    void KeyShown(int keyNumber) override { shown.emplace_back(frame, keyNumber); }
    // Key k: its frame count, and part 0 at x (slot 99 at -x).
    void SetKey(int k, int frames, float x) {
        session.model.animation.frameCount[k] = static_cast<std::int16_t>(frames);
        session.model.animation.keyPosition[k][0] = {x, 0.0f, 0.0f};
        session.model.animation.keyPosition[k][99] = {-x, 0.0f, 0.0f};
    }
    float Frame() {
        ++frame;
        app::PlayAnimation(session);
        return X();
    }
    float X() { return session.model.scene.node[0].GetPosition().x; }

    app::Session session;
    int frame = 0;
    Shown shown;
};

TEST_F(PlaybackTest, KeysBlendOverTheirFramesHoldOneAndLoopFromTheLastInUse) {
    struct Case {
        std::vector<std::pair<int, float>> keys;  // frame count, x
        std::vector<float> xs;                    // after each frame
        Shown shown;
    } const cases[] = {
        {{{10, 10}, {0, 99}}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 10, 10}, {{1, 1}, {12, 1}}},
        {{{5, 5}, {5, 10}, {0, 99}},
         {0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9, 10, 10, 9, 8, 7, 6, 5, 5, 6},
         {{1, 1}, {7, 2}, {13, 1}, {19, 2}}},
    };
    for (const Case& test : cases) {
        app::SetPlaying(session, true);
        for (int slot : {0, 99}) session.model.scene.node[slot].SetPosition({0.0f, 0.0f, 0.0f});
        int k = 0;
        for (const auto& [frames, x] : test.keys) SetKey(k++, frames, x);
        for (float x : test.xs) EXPECT_NEAR(Frame(), x, 1e-5f) << "frame " << frame;
        EXPECT_EQ(shown, test.shown);
        EXPECT_EQ(session.model.scene.node[99].GetPosition().x, -X()) << "every slot is driven";
        app::SetPlaying(session, false);  // stop, and start the next case afresh
        Frame();
        frame = 0;
        shown.clear();
    }
}

TEST_F(PlaybackTest, OrientationsAreSlerpedAndAllSixteenKeysLoopToTheFirst) {
    for (int k = 0; k < model::kMaxKeys; ++k) SetKey(k, 2, static_cast<float>(k + 1));
    session.model.animation.keyOrientation[0][0] = gfx::QuaternionRotationAxis({0, 1, 0}, 1.0f);
    Frame();
    Frame();
    EXPECT_NEAR(std::fabs(session.model.scene.node[0].GetOrientation().y), std::sin(0.25f), 1e-5f);
    while (frame < 48) Frame();
    EXPECT_NEAR(X(), 16.0f, 1e-5f);
    Frame();
    EXPECT_NEAR(Frame(), 8.5f, 1e-5f) << "halfway from key 16 back to key 1";
    ASSERT_EQ(shown.size(), 17u);
    for (int k = 0; k <= 16; ++k) EXPECT_EQ(shown[k], std::make_pair(1 + 3 * k, k % 16 + 1));
}

TEST_F(PlaybackTest, TickingAgainRestartsAtKeyOneFromThePoseLeftBehind) {
    SetKey(0, 0, 5.0f);
    SetKey(1, 5, 10.0f);
    while (frame < 3) Frame();
    EXPECT_TRUE(shown.empty()) << "waits while key 1 has no frames";
    SetKey(0, 5, 5.0f);
    while (frame < 13) Frame();  // key 1 begins at frame 4, key 2 at frame 10
    EXPECT_NEAR(X(), 8.0f, 1e-5f);
    app::SetPlaying(session, false);
    while (frame < 16) EXPECT_NEAR(Frame(), 8.0f, 1e-5f);
    app::SetPlaying(session, true);
    EXPECT_NEAR(Frame(), 8.0f, 1e-5f);
    EXPECT_NEAR(Frame(), 8.0f + (5.0f - 8.0f) * 0.2f, 1e-5f);
    EXPECT_EQ(shown, (Shown{{4, 1}, {10, 2}, {17, 1}}));

    // Key 1 losing its frames: playback waits again when it comes back to it, never divides by 0.
    SetKey(0, 0, 5.0f);
    while (frame < 40) Frame();
    EXPECT_EQ(session.editor.PlayKey, -1);
    EXPECT_NEAR(X(), 10.0f, 1e-5f);
}

TEST_F(PlaybackTest, ADragWhilePlayingIsOverwrittenInTheSameFrame) {
    view_input_support::QuietLog quiet;
    framework::testing_support::HeadlessDevice headless;
    ASSERT_TRUE(headless.created);
    SetKey(0, 10, 10.0f);
    session.editor.SelectedPart = 0;
    session.panels.handlingLocal = false;
    app::ArmPartDrag(session.editor, app::HandleMode::kMoveX);
    for (int tick = 0; tick <= 5; ++tick) {
        framework::InputState input;
        input.buttons[0] = true;
        input.previousButtons[0] = tick > 0;
        input.screenCursor = {100 + 320 * tick, 100};  // the drag alone: x = 2 * tick
        app::HandleFrameInput(session, input, false, {640, 480});
        EXPECT_NEAR(X(), static_cast<float>(tick), 1e-5f);
    }
    EXPECT_EQ(session.editor.Handle, app::HandleMode::kMoveX);
    EXPECT_EQ(session.editor.HandlePhase, app::DragPhase::kDragging);
    EXPECT_TRUE(session.model.EditUnderWay());
}

}  // namespace
