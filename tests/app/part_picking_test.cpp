#include "app/steps/part_picking.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "app/core/session.h"
#include "app/steps/frame_input.h"
#include "scene/draw_primitives.h"
#include "tests/app/view_input_support.h"

namespace {

using namespace view_input_support;

// Unit cubes on the Z axis, seen from (0, 0, 10) looking at the origin: a click in the middle of
// the view runs down the axis through every cube.
class PartPickingTest : public ::testing::Test {
  protected:
    void SetUp() override { LookFrom(10.0f); }

    void LookFrom(float z) { scene::SetView(view.transforms, {0, 0, z}, {0, 0, 0}, {0, 1, 0}); }
    void AddCube(gfx::Vec3 position, float scale = 1.0f) {
        model::PartTable& parts = session.model.parts;
        editing::PartScene& partScene = session.model.scene;
        const auto i = static_cast<std::size_t>(parts.count++);
        ASSERT_TRUE(partScene.mesh[i].LoadFromFile(
            session.textures, std::string(POSEWRIGHTER_TEST_DATA) + "/model/cube.x", 0, false, 1));
        partScene.node[i].Bind(partScene.mesh[i], position, scale);
    }
    void Click(framework::PixelPoint cursor) {
        session.SetPanelObserver(&notice);
        app::HandleCameraAndPicking(session, view.client(),
                                    Input({.left = Button::kPressed}, cursor), true);
    }

    CountingNotice notice;
    app::Session session;
    TestView view;
};

TEST_F(PartPickingTest, NearestPartWins) {
    AddCube({0, 0, 0});
    AddCube({0, 0, 3});
    AddCube({0, 0, -3});
    Click(kCentre);
    EXPECT_EQ(session.editor.SelectedPart, 1);
    EXPECT_EQ(session.editor.DragAnchor, kCentre);
    EXPECT_EQ(notice.count, 1);
    EXPECT_EQ(notice.last, 1);
}

TEST_F(PartPickingTest, EqualDistancesGoToTheLowerIndex) {
    AddCube({0, 0, -3});
    AddCube({0, 0, 2});
    AddCube({0, 0, 2});
    Click(kCentre);
    EXPECT_EQ(session.editor.SelectedPart, 1);
}

TEST_F(PartPickingTest, HiddenAndUnloadedPartsInFrontAreSkipped) {
    AddCube({0, 0, 0});
    AddCube({0, 0, 3});
    session.panels.partVisible[1] = false;
    // A part whose mesh never loaded, nearest of all.
    model::PartTable& parts = session.model.parts;
    editing::PartScene& partScene = session.model.scene;
    partScene.node[2].Bind(partScene.mesh[2], {0, 0, 5}, 1.0f);
    parts.count = 3;
    Click(kCentre);
    EXPECT_EQ(session.editor.SelectedPart, 0);
}

TEST_F(PartPickingTest, HitsFromTenThousandUnitsOnAreIgnored) {
    AddCube({0, 0, 0}, 100.0f);  // faces at z = +-50
    LookFrom(10049.0f);          // the front face 9999 away
    Click(kCentre);
    EXPECT_EQ(session.editor.SelectedPart, 0);
    LookFrom(10051.0f);  // 10001 away
    Click(kCentre);
    EXPECT_EQ(session.editor.SelectedPart, -1);
}

TEST_F(PartPickingTest, EmptySpaceClearsTheSelectionAndStillNotifies) {
    AddCube({0, 0, 0});
    session.editor.SelectedPart = 0;
    Click({5, 5});  // far off the cube
    EXPECT_EQ(session.editor.SelectedPart, -1);
    EXPECT_EQ(notice.count, 1);

    session.model.parts.count = 0;  // no parts: every click clears
    session.editor.SelectedPart = 0;
    Click(kCentre);
    EXPECT_EQ(session.editor.SelectedPart, -1);
    EXPECT_EQ(notice.count, 2);
    EXPECT_EQ(notice.last, -1);
}

}  // namespace

namespace {

// The view follows its window: what a click selects depends on where it lands in the picture,
// not on the picture's size in pixels.
TEST_F(PartPickingTest, ClicksAtTheSameFractionOfAnyViewSizePickTheSame) {
    AddCube({0, 0, 0});
    AddCube({3, 0, 0});  // left of the centre: looking down -z, +x is to the left
    const auto pickIn = [&](TestView& sized, double fx, double fy) {
        scene::SetView(sized.transforms, {0, 0, 10}, {0, 0, 0}, {0, 1, 0});
        const framework::PixelPoint at{static_cast<int>(fx * sized.width),
                                       static_cast<int>(fy * sized.height)};
        app::HandleCameraAndPicking(session, sized.client(), Input({.left = Button::kPressed}, at),
                                    true);
        return session.editor.SelectedPart;
    };
    TestView small(640, 480), large(1280, 960), wide(1280, 720);
    // The centre, the second cube (3 units left at 10 units: x = 0.5 - 0.5 * 0.3 / tan(22.5
    // degrees) / aspect of the width), empty space above and at the right.
    std::set<model::PartIndex> seen;
    for (const auto& [fx, fy] : {std::pair{0.5, 0.5}, {0.23, 0.5}, {0.5, 0.1}, {0.9, 0.5}}) {
        const model::PartIndex picked = pickIn(small, fx, fy);
        EXPECT_EQ(pickIn(large, fx, fy), picked) << fx << "," << fy;
        seen.insert(picked);
    }
    EXPECT_EQ(seen, (std::set<model::PartIndex>{model::kNoPart, 0, 1}));
    // At 16:9 the centre still picks the centre cube.
    EXPECT_EQ(pickIn(wide, 0.5, 0.5), 0);
    EXPECT_EQ(pickIn(large, 0.5, 0.5), 0);
}

}  // namespace
