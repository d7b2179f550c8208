// The functions through which the panels and the frame change the editor's state: each value has
// one writer, clamps what it is given, and tells the panels exactly when what they show changed.

#include "app/core/editor_actions.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/core/stored_light.h"
#include "app/steps/playback.h"

namespace {

class Listener : public app::PanelObserver {
  public:
    void KeyShown(int keyNumber) override { keys.push_back(keyNumber); }
    void PlayingChanged(bool playing) override { plays.push_back(playing); }
    std::vector<int> keys;
    std::vector<bool> plays;
};

class EditorActionsTest : public ::testing::Test {
  protected:
    void SetUp() override { session.SetPanelObserver(&listener); }
    void TearDown() override { session.SetPanelObserver(nullptr); }
    app::Session session;
    Listener listener;
};

TEST_F(EditorActionsTest, PlayIsToldOncePerChangeAndOffStopsPlayback) {
    session.model.animation.frameCount[0] = 3;
    app::SetPlaying(session, true);
    app::SetPlaying(session, true);  // the button and its key both asked: one change
    EXPECT_TRUE(session.playing());
    app::PlayAnimation(session);
    EXPECT_EQ(session.editor.PlayKey, 0);
    EXPECT_EQ(listener.keys, std::vector<int>{1}) << "the key that began is shown";
    EXPECT_EQ(session.shownKey(), 1);

    app::SetPlaying(session, false);
    app::SetPlaying(session, false);
    app::PlayAnimation(session);
    EXPECT_FALSE(session.playing());
    EXPECT_EQ(session.editor.PlayKey, -1);
    EXPECT_EQ(listener.plays, (std::vector<bool>{true, false}));
}

TEST_F(EditorActionsTest, TheKeyShownStaysWithinTheSixteenKeys) {
    const std::pair<int, int> cases[] = {{1, 1}, {16, 16}, {0, 1}, {-3, 1}, {17, 16}, {9, 9}};
    for (const auto& [asked, kept] : cases) {
        EXPECT_EQ(app::SetShownKey(session, asked), kept) << asked;
        EXPECT_EQ(session.shownKey(), kept) << asked;
    }
    EXPECT_TRUE(listener.keys.empty()) << "the panel that asked is not told back";
    app::AnnounceShownKey(session, 20);
    EXPECT_EQ(listener.keys, std::vector<int>{16});
}

TEST_F(EditorActionsTest, ArmingStartsEveryDragFromItsArmedPhase) {
    app::EditorState& state = session.editor;
    app::ArmPartDrag(state, app::HandleMode::kTurnY);
    EXPECT_EQ(state.Handle, app::HandleMode::kIdle) << "nothing selected";

    state.SelectedPart = 3;
    state.HandlePhase = app::DragPhase::kDragging;
    app::ArmPartDrag(state, app::HandleMode::kTurnY);
    EXPECT_EQ(state.Handle, app::HandleMode::kTurnY);
    EXPECT_EQ(state.HandlePhase, app::DragPhase::kArmed);

    state.LightDragPhase = app::DragPhase::kDragging;
    app::ArmLightDrag(state, app::LightDragMode::kTilt);
    EXPECT_EQ(state.LightDrag, app::LightDragMode::kTilt);
    EXPECT_EQ(state.LightDragPhase, app::DragPhase::kArmed);
}

TEST(HandleModeAxes, EachModeNamesItsAxisAndWhetherItTurns) {
    const struct {
        app::HandleMode mode;
        int axis;
        bool turn;
    } cases[] = {{app::HandleMode::kIdle, -1, false}, {app::HandleMode::kMoveX, 0, false},
                 {app::HandleMode::kMoveY, 1, false}, {app::HandleMode::kMoveZ, 2, false},
                 {app::HandleMode::kTurnX, 0, true},  {app::HandleMode::kTurnY, 1, true},
                 {app::HandleMode::kTurnZ, 2, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(app::HandleAxis(c.mode), c.axis) << static_cast<int>(c.mode);
        EXPECT_EQ(app::IsTurnMode(c.mode), c.turn) << static_cast<int>(c.mode);
    }
}

// The Power position moves at once (a light drag reads it every frame), the light's own power
// only as a change ends; both keep to 0 .. 10 and the direction stays.
TEST(LightPowerTest, ThePositionLeadsAndTheLightFollowsWhenTheChangeEnds) {
    app::EditorState state;
    app::SetLight(state, {0.0f, -2.0f, 0.0f}, 0.25f);
    const struct { int asked, kept; } cases[] = {{7, 7}, {11, 10}, {-1, 0}, {3, 3}};
    for (const auto& c : cases) {
        app::SetLightPowerPosition(state, c.asked);
        EXPECT_EQ(state.LightPowerPosition, c.kept) << c.asked;
        EXPECT_EQ(state.Light.power, 0.25f) << "unchanged until the change ends";
    }
    for (const auto& c : cases) {
        app::EndLightPowerChange(state, c.asked);
        EXPECT_EQ(state.LightPowerPosition, c.kept) << c.asked;
        EXPECT_EQ(state.Light.power, app::LightPowerAt(c.kept)) << c.asked;
        EXPECT_EQ(app::LightDirection(state.Light), (gfx::Vec3{0.0f, -1.0f, 0.0f}));
    }
}

}  // namespace
