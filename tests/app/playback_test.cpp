#include "app/playback.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "app/frame_input.h"
#include "gfx/math.h"
#include "tests/app/view_input_support.h"
#include "tests/framework/headless_device.h"

namespace {

using namespace view_input_support;

// The keys the Animation panel is told to show, with the frame that told it.
struct ShownKeys : app::PanelObserver {
    void KeyShown(int keyNumber) override { shown.emplace_back(*frame, keyNumber); }
    const int* frame = nullptr;
    std::vector<std::pair<int, int>> shown;
};

// Key k puts part 0 at x = xs[k] and slot 99 at z = -xs[k].
class PlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        keys.frame = &frame;
        session.SetPanelObserver(&keys);
        session.panels.playTicked = true;
    }
    void SetKeys(const std::vector<std::pair<int, float>>& framesAndX) {
        for (std::size_t k = 0; k < framesAndX.size(); ++k) {
            animation().frameCount[k] = static_cast<std::int16_t>(framesAndX[k].first);
            animation().keyPosition[k][0] = {framesAndX[k].second, 0.0f, 0.0f};
            animation().keyPosition[k][99] = {0.0f, 0.0f, -framesAndX[k].second};
        }
    }
    void Frame() {
        ++frame;
        app::PlayAnimation(session);
    }
    model::AnimationSet& animation() { return session.model.animation; }
    float X() { return session.model.parts.node[0].GetPosition().x; }

    int frame = 0;
    ShownKeys keys;
    app::Session session;
};

TEST_F(PlaybackTest, OneKeyOfTenFramesIsReachedHeldAndThenKept) {
    SetKeys({{10, 10.0f}, {0, 99.0f}});
    animation().keyOrientation[0][0] = gfx::QuaternionRotationAxis({0.0f, 1.0f, 0.0f}, 1.0f);
    Frame();
    EXPECT_EQ(X(), 0.0f) << "the start frame only captures";
    for (int tick = 1; tick <= 10; ++tick) {
        Frame();
        EXPECT_NEAR(X(), static_cast<float>(tick), 1e-5f);
        if (tick == 5) {
            const gfx::Quat half = session.model.parts.node[0].GetOrientation();
            EXPECT_NEAR(std::fabs(half.y), std::sin(0.25f), 1e-5f);
        }
    }
    for (int i = 0; i < 25; ++i) Frame();
    EXPECT_NEAR(X(), 10.0f, 1e-5f);
    EXPECT_TRUE(Near(session.model.parts.node[99].GetPosition(), {0.0f, 0.0f, -10.0f}, 1e-5f))
        << "every slot is driven";
    const std::vector<std::pair<int, int>> expected{{1, 1}, {12, 1}, {23, 1}, {34, 1}};
    EXPECT_EQ(keys.shown, expected);
}

TEST_F(PlaybackTest, TwoKeysOfFiveFramesEachTakeFiveFramesAndAHoldingFrame) {
    SetKeys({{5, 5.0f}, {5, 10.0f}, {0, 99.0f}});
    const float expectedX[] = {0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9, 10, 10, 9, 8, 7, 6, 5, 5, 6};
    for (float x : expectedX) {
        Frame();
        EXPECT_NEAR(X(), x, 1e-5f) << "frame " << frame;
    }
    const std::vector<std::pair<int, int>> expected{{1, 1}, {7, 2}, {13, 1}, {19, 2}};
    EXPECT_EQ(keys.shown, expected);
}

TEST_F(PlaybackTest, AllSixteenKeysLoopFromTheLastToTheFirst) {
    for (int k = 0; k < model::kMaxKeys; ++k) {
        animation().frameCount[k] = 2;
        animation().keyPosition[k][0] = {static_cast<float>(k + 1), 0.0f, 0.0f};
    }
    for (int i = 0; i < 48; ++i) Frame();
    EXPECT_NEAR(X(), 16.0f, 1e-5f);
    Frame();
    Frame();
    EXPECT_NEAR(X(), 8.5f, 1e-5f) << "halfway from key 16 back to key 1";
    ASSERT_EQ(keys.shown.size(), 17u);
    for (int k = 0; k <= 16; ++k) EXPECT_EQ(keys.shown[k], std::make_pair(1 + 3 * k, k % 16 + 1));
}

TEST_F(PlaybackTest, TickingAgainRestartsAtKeyOneFromThePoseOfTheLastPlayedFrame) {
    SetKeys({{0, 5.0f}, {5, 10.0f}});
    for (int i = 0; i < 3; ++i) Frame();
    EXPECT_TRUE(keys.shown.empty()) << "the first key has no frames";
    animation().frameCount[0] = 5;
    for (int i = 0; i < 10; ++i) Frame();  // up to the third tick of key 2
    EXPECT_NEAR(X(), 8.0f, 1e-5f);

    session.panels.playTicked = false;
    for (int i = 0; i < 3; ++i) Frame();
    EXPECT_EQ(session.editor.PlayKey, -1);
    EXPECT_NEAR(X(), 8.0f, 1e-5f);
    session.panels.playTicked = true;
    Frame();
    Frame();
    EXPECT_NEAR(X(), 8.0f + (5.0f - 8.0f) * 0.2f, 1e-5f);
    const std::vector<std::pair<int, int>> expected{{4, 1}, {10, 2}, {17, 1}};
    EXPECT_EQ(keys.shown, expected);

    // Key 1 losing its frames waits for them again when playback comes back to it, instead of
    // dividing by 0.
    animation().frameCount[0] = 0;
    for (int i = 0; i < 10; ++i) Frame();
    EXPECT_EQ(session.editor.PlayKey, -1);
    EXPECT_FALSE(std::isnan(X()));
}

TEST_F(PlaybackTest, ADragWhilePlayingIsOverwrittenInTheSameFrame) {
    QuietLog quiet;
    framework::testing_support::HeadlessDevice headless;
    ASSERT_TRUE(headless.created);
    SetKeys({{10, 10.0f}});
    session.editor.SelectedPart = 0;
    session.panels.handlingLocal = false;
    session.editor.HandleMode = app::handle_mode::kMoveX;
    for (int tick = 0; tick <= 5; ++tick) {
        framework::InputState input =
            Input({.left = tick == 0 ? Button::kPressed : Button::kHeld}, {0, 0});
        input.screenCursor = {100 + 320 * tick, 100};  // the drag alone: x = 2 * tick
        app::HandleFrameInput(session, headless.device, input, false);
        EXPECT_NEAR(X(), static_cast<float>(tick), 1e-5f);
    }
    EXPECT_EQ(session.editor.HandleMode, app::handle_mode::kDragMoveX);
    EXPECT_EQ(session.model.undo.size(), 1);
}

}  // namespace
