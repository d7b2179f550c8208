// The onion skin: which keys become ghosts, and the ghosts drawn headless. Off (or while
// playing) the view is the same picture to the byte; on, tinted pixels appear only where the
// neighbouring keys put the visible parts, the live model covers them and keeps its pose.

#include "app/drawing/onion_skin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "app/core/editor_actions.h"
#include "app/core/editor_look.h"
#include "app/core/session.h"
#include "app/core/stored_light.h"
#include "app/drawing/frame_rendering.h"
#include "app/steps/view_geometry.h"
#include "framework/debug_log.h"
#include "gfx/math/math.h"
#include "tests/app/editor_test_support.h"
#include "tests/framework/headless_device.h"

namespace {

using framework::testing_support::HeadlessDevice;
using framework::testing_support::PixelAt;
using framework::testing_support::Project;

constexpr std::uint32_t kBackground = 0xFF18415A;
constexpr gfx::Vec3 kLive{0.0f, 1.0f, 0.0f};
constexpr gfx::Vec3 kBefore{-1.6f, 1.0f, 0.0f};  // key 1
constexpr gfx::Vec3 kAfter{0.8f, 1.0f, 1.5f};    // key 3: nearer, half over the body
constexpr gfx::Vec3 kHead{0.0f, 0.9f, 0.0f};     // the child's place on its parent

TEST(OnionKeys, OnlyKeysInUseBesideTheShownOne) {
    struct Case {
        std::vector<std::int16_t> frames;  // the leading frame counts
        int shown;
        app::OnionKeys expected;
    };
    const Case cases[] = {
        {{}, 1, {0, 0}},               // no keys in use
        {{10, 10, 10}, 1, {0, 2}},     // no wrap to the last key
        {{10, 10, 10}, 2, {1, 3}},     //
        {{10, 10, 10}, 3, {2, 0}},     //
        {{10, 10, 10}, 4, {3, 0}},     // the next key being made sees the last one
        {{10, 10, 10}, 5, {0, 0}},     //
        {{10, 10, 0, 10}, 2, {1, 0}},  // key 4 lies past a gap
        {{10, 10, 0, 10}, 4, {0, 0}},  //
        {std::vector<std::int16_t>(16, 5), 16, {15, 0}},
    };
    for (const Case& c : cases) {
        model::AnimationSet animation{};
        for (std::size_t k = 0; k < c.frames.size(); ++k) animation.frameCount[k] = c.frames[k];
        SCOPED_TRACE(::testing::Message() << c.frames.size() << " counts, key " << c.shown);
        EXPECT_EQ(app::OnionKeysBeside(animation, c.shown), c.expected);
    }
}

using app::testing_support::QuietLog;

// A grey body at (0, 1, 0) with a small head on it (a child part); key 1 puts the body left of
// where it stands, key 3 right and nearer the camera (at (0, 2, 8)), so that its ghost stands
// before part of the live body; key 2 (shown) where it is. Grid off.
class OnionSkinDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(headless.created);
        overlay.Create(0, app::kOverlayFace, app::kOverlayHeight, app::kOverlayWeight);
        framework::ViewTransforms& transforms = session->editor.Camera;
        transforms.ProjectionMatrix = app::EditorProjection(640, 480);
        app::FrameView(transforms, nullptr);
        app::ApplyStoredLight(session->editor, {});
        editing::PartScene& scene = session->model.scene;
        ASSERT_TRUE(scene.mesh[0].CreateBox(1.0f, 1.0f, 1.0f, {0.5f, 0.5f, 0.5f, 1.0f}));
        ASSERT_TRUE(scene.mesh[1].CreateBox(0.4f, 0.4f, 0.4f, {0.5f, 0.5f, 0.5f, 1.0f}));
        scene.node[0].Bind(scene.mesh[0], kLive, 1.0f);
        scene.node[1].Bind(scene.mesh[1], kHead, 1.0f);
        scene.node[1].parent = &scene.node[0];
        session->model.parts.count = 2;
        session->panels.gridTicked = false;
        model::AnimationSet& animation = session->model.animation;
        const gfx::Vec3 body[] = {kBefore, kLive, kAfter};
        for (std::size_t k = 0; k < 3; ++k) {
            animation.frameCount[k] = 10;
            animation.keyPosition[k][0] = body[k];
            animation.keyPosition[k][1] = kHead;
            animation.keyOrientation[k][0] = animation.keyOrientation[k][1] = {0, 0, 0, 1};
        }
        app::SetShownKey(*session, 2);
    }

    // The frame as the editor draws it; without the animation, as it was drawn before there was
    // an onion skin.
    std::vector<std::uint32_t> Draw(bool withAnimation = true) {
        const app::EditorState& state = session->editor;
        app::FrameModes modes = app::ModesOf(state);
        modes.onion = app::OnionKeysToShow(session->model.animation, session->panels, state);
        app::DrawFrame(
            {headless.device, overlay, session->model.parts, session->model.scene, session->panels,
             state.Camera, state.Light, withAnimation ? &session->model.animation : nullptr},
            modes);
        return headless.device.ReadPixels();
    }
    std::uint32_t At(const std::vector<std::uint32_t>& pixels, gfx::Vec3 point) const {
        const auto& t = session->editor.Camera;
        const auto screen = Project(point, t.ViewMatrix, t.ProjectionMatrix);
        return PixelAt(pixels, screen.Column(), screen.Row());
    }
    // The screen rectangle of a world box (corners projected), grown by two pixels.
    bool InsideBox(int x, int y, gfx::Vec3 low, gfx::Vec3 high) const {
        const auto& t = session->editor.Camera;
        float left = 640, right = 0, top = 480, bottom = 0;
        for (int corner = 0; corner < 8; ++corner) {
            const gfx::Vec3 p{corner & 1 ? high.x : low.x, corner & 2 ? high.y : low.y,
                              corner & 4 ? high.z : low.z};
            const auto s = Project(p, t.ViewMatrix, t.ProjectionMatrix);
            left = std::min(left, s.x), right = std::max(right, s.x);
            top = std::min(top, s.y), bottom = std::max(bottom, s.y);
        }
        const auto fx = static_cast<float>(x), fy = static_cast<float>(y);
        return fx >= left - 2 && fx <= right + 2 && fy >= top - 2 && fy <= bottom + 2;
    }
    // Where a ghost may draw: its body and head.
    bool InGhost(int x, int y, gfx::Vec3 body) const {
        return InsideBox(x, y, body - gfx::Vec3{0.5f, 0.5f, 0.5f},
                         body + gfx::Vec3{0.5f, 0.5f, 0.5f}) ||
               InsideBox(x, y, body + kHead - gfx::Vec3{0.2f, 0.2f, 0.2f},
                         body + kHead + gfx::Vec3{0.2f, 0.2f, 0.2f});
    }

    QuietLog quietLog;
    HeadlessDevice headless;
    scene::OverlayFonts overlay{headless.device};
    std::unique_ptr<app::Session> session = std::make_unique<app::Session>();
};

int Red(std::uint32_t c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
int Blue(std::uint32_t c) {
    return static_cast<int>(c & 0xFF);
}
// How much more a tint over `under` added to blue than to red (negative: more to red).
int BlueGain(std::uint32_t tinted, std::uint32_t under) {
    return (Blue(tinted) - Blue(under)) - (Red(tinted) - Red(under));
}

TEST_F(OnionSkinDrawing, UntickedOrPlayingDrawsExactlyAsBefore) {
    const auto before = Draw(false);
    EXPECT_EQ(Draw(), before) << "unticked";
    app::SetOnionShown(*session, true);
    app::SetPlaying(*session, true);
    EXPECT_EQ(Draw(), before) << "playing";
    EXPECT_EQ(At(before, kBefore), kBackground);
    EXPECT_EQ(At(before, kAfter), kBackground);
}

TEST_F(OnionSkinDrawing, GhostsOfTheKeysBesideBehindTheLiveModel) {
    const auto plain = Draw(false);
    const gfx::Matrix body = session->model.scene.node[0].WorldMatrix();
    const gfx::Matrix head = session->model.scene.node[1].WorldMatrix();
    app::SetOnionShown(*session, true);
    const auto onion = Draw();

    // Key 1 bluish on the left, key 3 reddish on the right, the head carried by its parent.
    const std::uint32_t left = At(onion, kBefore), right = At(onion, kAfter);
    EXPECT_NE(left, kBackground);
    EXPECT_NE(right, kBackground);
    EXPECT_GT(BlueGain(left, kBackground), 0) << std::hex << left;
    EXPECT_LT(BlueGain(right, kBackground), 0) << std::hex << right;
    EXPECT_NE(At(onion, kBefore + kHead), kBackground);
    EXPECT_NE(At(onion, kAfter + kHead), kBackground);
    // Faint: the background still shows through.
    EXPECT_LT(Red(right), 0xC0);
    // The live model covers the ghosts: key 2's, where it stands, and key 3's, before it.
    EXPECT_EQ(At(onion, kLive), At(plain, kLive));
    EXPECT_EQ(At(onion, kLive + gfx::Vec3{0.4f, 0.0f, 0.5f}),
              At(plain, kLive + gfx::Vec3{0.4f, 0.0f, 0.5f}));
    EXPECT_EQ(At(onion, kLive + kHead), At(plain, kLive + kHead));

    int changed = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (PixelAt(onion, x, y) == PixelAt(plain, x, y)) continue;
            ++changed;
            EXPECT_TRUE(InGhost(x, y, kBefore) || InGhost(x, y, kAfter)) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 1000);
    // The live nodes keep their pose to the bit.
    const gfx::Matrix bodyAfter = session->model.scene.node[0].WorldMatrix();
    const gfx::Matrix headAfter = session->model.scene.node[1].WorldMatrix();
    EXPECT_EQ(std::memcmp(&body, &bodyAfter, sizeof body), 0);
    EXPECT_EQ(std::memcmp(&head, &headAfter, sizeof head), 0);

    // A part whose box is unticked has no ghost.
    app::SetPartVisible(*session, 1, false);
    const auto noHead = Draw();
    EXPECT_NE(At(noHead, kBefore), kBackground);
    EXPECT_EQ(At(noHead, kBefore + kHead), kBackground);
}

}  // namespace
