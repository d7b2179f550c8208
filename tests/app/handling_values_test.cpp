// The Handling panel's values without their window: typed numbers, the angle convention, and
// what a typed value does to the selected part and the history.

#include "app/commands/handling_values.h"

#include <gtest/gtest.h>

#include "app/commands/typed_numbers.h"
#include "app/core/documents.h"
#include "framework/debug_log.h"

namespace {

using app::HandlingBox;
using Six = std::array<std::string, app::kHandlingBoxCount>;

TEST(TypedNumbers, OnlyWholeFiniteNumbersAreTaken) {
    EXPECT_EQ(app::ShortNumberText(29.999998f) + " " + app::ShortNumberText(-0.0001f) + " " +
                  app::ShortNumberText(-1.2344f),
              "30 0 -1.234");
    const struct {
        const char* text;
        std::optional<float> number;
        std::optional<int> key;  // a whole number within 1 .. 16
    } cases[] = {{" 7 ", 7.0f, 7}, {"+2", 2.0f, 2}, {"-1.5", -1.5f, {}}, {"1e2", 100.0f, {}},
                 {"1,5", {}, {}},  {"", {}, {}},    {"+-1", {}, {}},     {"3x", {}, {}},
                 {"inf", {}, {}},  {"1e39", {}, {}}};
    for (const auto& c : cases) {
        EXPECT_EQ(app::TypedNumber(c.text), c.number) << c.text;
        EXPECT_EQ(app::TypedWholeNumber(c.text, 1, 16), c.key) << c.text;
    }
}

TEST(TypedNumbers, AnglesComeBackFromTheirQuaternion) {
    const gfx::Vec3 triples[] = {
        {30, 0, 0}, {0, -45, 0}, {0, 0, 170}, {-60, 120, 25}, {89, -179, -91}};
    for (const gfx::Vec3& degrees : triples) {
        const gfx::Vec3 back = app::DegreesFromQuaternion(app::QuaternionFromDegrees(degrees));
        EXPECT_NEAR(back.x, degrees.x, 1e-3f) << degrees.x << " " << degrees.y << " " << degrees.z;
        EXPECT_NEAR(back.y, degrees.y, 1e-3f);
        EXPECT_NEAR(back.z, degrees.z, 1e-3f);
    }
    // X is MatrixRotationYawPitchRoll's pitch: 90 degrees is (sin 45°, 0, 0, cos 45°).
    EXPECT_NEAR(app::QuaternionFromDegrees({90.0f, 0.0f, 0.0f}).x, 0.7071068f, 1e-6f);
}

class HandlingValuesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        framework::ProcessLog().Discard();
        ASSERT_TRUE(app::OpenPartFile(session.model,
                                      POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp"));
        session.editor.SelectedPart = 0;
    }
    void TearDown() override { framework::ProcessLog().SetPath(""); }
    Six Texts() const { return app::HandlingTextsFor(session).text; }
    app::Session session;
};

TEST_F(HandlingValuesTest, ATypedValueIsOneStepAndReadsBackAsTyped) {
    const struct {
        HandlingBox box;
        const char* typed;
        Six shown;
    } steps[] = {
        {HandlingBox::kPositionX, "0.3", {"0.3", "0.95", "0", "0", "0", "0"}},
        {HandlingBox::kAngleX, "30", {"0.3", "0.95", "0", "30", "0", "0"}},
        {HandlingBox::kAngleY, "-45", {"0.3", "0.95", "0", "30", "-45", "0"}},
        // Read from the orientation, the roll would be -160.
        {HandlingBox::kAngleZ, "200", {"0.3", "0.95", "0", "30", "-45", "200"}},
    };
    std::vector<Six> before;
    for (const auto& step : steps) {
        before.push_back(Texts());
        EXPECT_TRUE(app::TypeHandlingValue(session, step.box, step.typed)) << step.typed;
        EXPECT_EQ(Texts(), step.shown) << step.typed;
        EXPECT_EQ(session.model.history.undoSize(), static_cast<int>(before.size()));
    }
    EXPECT_EQ(before.front(), (Six{"0", "0.95", "0", "0", "0", "0"}));
    for (auto shown = before.rbegin(); shown != before.rend(); ++shown) {
        ASSERT_TRUE(session.model.Undo());
        EXPECT_EQ(Texts(), *shown);
    }
    while (session.model.Redo()) {
    }
    EXPECT_EQ(Texts(), steps[3].shown);
    // Turned otherwise, the angles are read from the orientation.
    session.model.scene.node[0].SetOrientation(gfx::Quat{});
    EXPECT_EQ(Texts()[3] + Texts()[4] + Texts()[5], "000");
}

TEST_F(HandlingValuesTest, RefusedValuesChangeNothing) {
    for (const char* text : {"", "abc", "1e39", "0.5.1"}) {
        for (int box = 0; box < app::kHandlingBoxCount; ++box) {
            EXPECT_FALSE(app::TypeHandlingValue(session, static_cast<HandlingBox>(box), text));
        }
    }
    // A child's position that would overflow in its parent's shrunken frame.
    session.model.scene.node[0].SetScale(1e-30f);
    session.editor.SelectedPart = 1;
    EXPECT_FALSE(app::TypeHandlingValue(session, HandlingBox::kPositionY, "1e10"));
    session.editor.SelectedPart = model::kNoPart;
    EXPECT_EQ(app::HandlingTextsFor(session), app::HandlingTexts{});
    EXPECT_FALSE(app::TypeHandlingValue(session, HandlingBox::kAngleX, "1"));
    EXPECT_EQ(session.model.history.undoSize(), 0);
}

}  // namespace
