// The Handling panel's boxes without their window: typed numbers, the angle convention, and what
// a typed value does to the selected part and the history.

#include "app/commands/handling_values.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/commands/typed_numbers.h"
#include "app/core/documents.h"
#include "framework/debug_log.h"
#include "gfx/math/math.h"

namespace {

using app::HandlingBox;

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp";

TEST(TypedNumbers, TextsAndTypedValues) {
    EXPECT_EQ(app::ShortNumberText(0.95f), "0.95");
    EXPECT_EQ(app::ShortNumberText(29.999998f), "30");
    EXPECT_EQ(app::ShortNumberText(-0.0001f), "0");
    EXPECT_EQ(app::ShortNumberText(-1.2344f), "-1.234");
    const struct {
        const char* text;
        std::optional<float> number;
        std::optional<int> key;  // as a whole number within 1 .. 16
    } cases[] = {
        {"30", 30.0f, std::nullopt},
        {" 7 ", 7.0f, 7},
        {"+2", 2.0f, 2},
        {"-1.5", -1.5f, std::nullopt},
        {"1e2", 100.0f, std::nullopt},
        {"1,5", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"+-1", std::nullopt, std::nullopt},
        {"3x", std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt},
        {"inf", std::nullopt, std::nullopt},
        {"1e39", std::nullopt, std::nullopt},
        {"99999999999", 99999999999.0f, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::TypedNumber(c.text), c.number) << c.text;
        EXPECT_EQ(app::TypedWholeNumber(c.text, 1, 16), c.key) << c.text;
    }
}

TEST(HandlingAngles, DegreesComeBackFromTheirQuaternion) {
    // X is the pitch, Y the yaw, Z the roll of MatrixRotationYawPitchRoll.
    const gfx::Quat pitch = app::QuaternionFromDegrees({90.0f, 0.0f, 0.0f});
    EXPECT_NEAR(pitch.x, std::sqrt(0.5f), 1e-6f);
    const gfx::Vec3 triples[] = {{0, 0, 0},      {30, 0, 0},      {0, -45, 0},    {0, 0, 170},
                                 {-60, 120, 25}, {89, -179, -91}, {12.5f, 33, -7}};
    for (const gfx::Vec3& degrees : triples) {
        const gfx::Vec3 back = app::DegreesFromQuaternion(app::QuaternionFromDegrees(degrees));
        EXPECT_NEAR(back.x, degrees.x, 1e-3f) << degrees.x << " " << degrees.y << " " << degrees.z;
        EXPECT_NEAR(back.y, degrees.y, 1e-3f);
        EXPECT_NEAR(back.z, degrees.z, 1e-3f);
    }
    // Straight up, yaw and roll turn about one axis: another triple for the same turn.
    const gfx::Quat up = app::QuaternionFromDegrees({90.0f, 20.0f, 30.0f});
    const gfx::Quat again = app::QuaternionFromDegrees(app::DegreesFromQuaternion(up));
    EXPECT_NEAR(std::abs(gfx::QuaternionDot(up, again)), 1.0f, 1e-5f);
}

class HandlingValuesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        framework::ProcessLog().Discard();
        ASSERT_TRUE(app::OpenPartFile(session.model, kRobot));
        session.editor.SelectedPart = 0;
    }
    void TearDown() override { framework::ProcessLog().SetPath(""); }
    std::array<std::string, app::kHandlingBoxCount> Texts() const {
        return app::HandlingTextsFor(session).text;
    }
    app::Session session;
};

TEST_F(HandlingValuesTest, ATypedValueIsOneStepAndReadsBackAsTyped) {
    using Six = std::array<std::string, app::kHandlingBoxCount>;
    EXPECT_EQ(Texts(), (Six{"0", "0.95", "0", "0", "0", "0"}));
    const struct {
        HandlingBox box;
        const char* typed;
        Six shown;
    } steps[] = {
        {HandlingBox::kPositionX, "0.3", {"0.3", "0.95", "0", "0", "0", "0"}},
        {HandlingBox::kAngleX, "30", {"0.3", "0.95", "0", "30", "0", "0"}},
        {HandlingBox::kAngleY, "-45", {"0.3", "0.95", "0", "30", "-45", "0"}},
        {HandlingBox::kAngleZ, "200", {"0.3", "0.95", "0", "30", "-45", "200"}},
    };
    std::vector<Six> before;
    for (const auto& step : steps) {
        before.push_back(Texts());
        EXPECT_TRUE(app::TypeHandlingValue(session, step.box, step.typed)) << step.typed;
        EXPECT_EQ(Texts(), step.shown) << step.typed;
        EXPECT_EQ(session.model.history.undoSize(), static_cast<int>(before.size()));
    }
    // Undo brings each pose back; Redo the typed triple, read back as typed.
    for (auto shown = before.rbegin(); shown != before.rend(); ++shown) {
        ASSERT_TRUE(session.model.Undo());
        EXPECT_EQ(Texts(), *shown);
    }
    while (session.model.Redo()) {
    }
    EXPECT_EQ(Texts(), steps[3].shown);
    // Turned by other means, the angles are read from the orientation again.
    session.model.scene.node[0].SetOrientation(gfx::Quat{});
    EXPECT_EQ(Texts()[3] + Texts()[4] + Texts()[5], "000");
}

TEST_F(HandlingValuesTest, RefusedValuesChangeNothing) {
    const auto typeAll = [&](const char* text) {
        bool any = false;
        for (int box = 0; box < app::kHandlingBoxCount; ++box) {
            any |= app::TypeHandlingValue(session, static_cast<HandlingBox>(box), text);
        }
        return any;
    };
    for (const char* text : {"", "abc", "1e39", "nan", "0.5.1"})
        EXPECT_FALSE(typeAll(text)) << text;
    // A child whose position would overflow in its parent's shrunken frame.
    session.model.scene.node[0].SetScale(1e-30f);
    session.editor.SelectedPart = 1;
    EXPECT_FALSE(app::TypeHandlingValue(session, HandlingBox::kPositionY, "1e10"));
    session.editor.SelectedPart = model::kNoPart;
    EXPECT_EQ(app::HandlingTextsFor(session), app::HandlingTexts{});
    EXPECT_FALSE(typeAll("1"));
    EXPECT_EQ(session.model.history.undoSize(), 0);
}

}  // namespace
