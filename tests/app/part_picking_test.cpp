#include "app/part_picking.h"

#include <gtest/gtest.h>

#include <string>

#include "app/frame_input.h"
#include "app/session.h"
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
        const auto i = static_cast<std::size_t>(parts.count++);
        ASSERT_TRUE(parts.mesh[i].LoadFromFile(
            session.textures, std::string(POSEWRIGHTER_TEST_DATA) + "/model/cube.x", 0, false, 1));
        parts.node[i].Bind(parts.mesh[i], position, scale);
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
    parts.node[2].Bind(parts.mesh[2], {0, 0, 5}, 1.0f);
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
