#include "app/core/stored_light.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/core/editor_actions.h"
#include "framework/debug_log.h"
#include "gfx/math/math.h"
#include "scene/draw_primitives.h"
#include "tests/app/view_input_support.h"
#include "tests/framework/headless_device.h"

namespace {

class StoredLightTest : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove(path_); }
    files::SettingsFile Settings(const std::string& text) {
        std::ofstream(path_, std::ios::binary) << text;
        return files::SettingsFile(path_);
    }
    const std::filesystem::path path_ =
        std::filesystem::temp_directory_path() /
        ("posewrighter_light_" + std::to_string(::getpid()) + ".ini");
};

TEST_F(StoredLightTest, WithoutSettingsTheLightComesFromTheFrontLeftAtHalfPower) {
    const app::StoredLight light = app::ReadStoredLight(files::SettingsFile(path_));
    EXPECT_EQ(light.direction, (gfx::Vec3{1.0f, -0.5f, -1.0f}));
    EXPECT_EQ(light.power, 0.5f);
}

TEST_F(StoredLightTest, StoredValuesAreReadAndThePowerClamped) {
    auto light = app::ReadStoredLight(
        Settings("[LIGHT_DIALOG]\r\nPOWER=1.7\r\nLIGHT_X=0.000000\r\nLIGHT_Y=-1.000000\r\n"
                 "LIGHT_Z=abc\r\n"));
    EXPECT_EQ(light.direction, (gfx::Vec3{0.0f, -1.0f, 0.0f}));  // not a number reads as 0
    EXPECT_EQ(light.power, 1.0f);
    light = app::ReadStoredLight(Settings("[LIGHT_DIALOG]\r\nPOWER=-0.3\r\n"));
    EXPECT_EQ(light.power, 0.0f);
    EXPECT_EQ(light.direction, (gfx::Vec3{1.0f, -0.5f, -1.0f}));
}

TEST_F(StoredLightTest, ValuesThatCannotLightTheModelReadAsTheDefaults) {
    // Each would draw the model black or white for good: the drags cannot turn a zero direction.
    const gfx::Vec3 kDefault{1.0f, -0.5f, -1.0f};
    const struct {
        const char* values;
        gfx::Vec3 direction;
        float power;
    } cases[] = {
        {"POWER=nan\r\n", kDefault, 0.5f},
        {"POWER=inf\r\n", kDefault, 0.5f},
        {"LIGHT_X=nan\r\n", kDefault, 0.5f},
        {"LIGHT_X=0\r\nLIGHT_Y=0\r\nLIGHT_Z=0\r\n", kDefault, 0.5f},
        {"LIGHT_X=1e-30\r\nLIGHT_Y=0\r\nLIGHT_Z=0\r\n", kDefault, 0.5f},
        {"LIGHT_X=1e30\r\nLIGHT_Y=0\r\nLIGHT_Z=0\r\n", kDefault, 0.5f},
        {"LIGHT_Y=-inf\r\nPOWER=0.2\r\n", kDefault, 0.2f},
        {"LIGHT_X=0\r\nLIGHT_Y=0\r\nLIGHT_Z=2\r\nPOWER=nan\r\n", {0.0f, 0.0f, 2.0f}, 0.5f},
    };
    for (const auto& c : cases) {
        const app::StoredLight light =
            app::ReadStoredLight(Settings(std::string("[LIGHT_DIALOG]\r\n") + c.values));
        EXPECT_EQ(light.direction, c.direction) << c.values;
        EXPECT_EQ(light.power, c.power) << c.values;
    }
}

TEST_F(StoredLightTest, AppliedAsAGreyLightAlongTheNormalisedDirection) {
    framework::ProcessLog().Discard();
    app::EditorState state;
    app::ApplyStoredLight(state, {{0.0f, -3.0f, 4.0f}, 0.7f});
    EXPECT_EQ(state.Light.power, 0.7f);
    const gfx::Vec3 direction = app::LightDirection(state.Light);
    EXPECT_NEAR(direction.y, -0.6f, 1e-6f);
    EXPECT_NEAR(direction.z, 0.8f, 1e-6f);
    framework::ProcessLog().SetPath("");
}

class LightingPanelTest : public StoredLightTest {
  protected:
    // The light as the drawing hands it to the device.
    framework::Light Light() const {
        const float p = state.Light.power;
        return framework::MakeDirectionalLight(state.Light.direction, {p, p, p, 0.0f});
    }
    view_input_support::QuietLog quiet;
    app::EditorState state;
};

TEST_F(LightingPanelTest, OpeningSetsTheStoredLightWithItsPowerPositionAndLabel) {
    const struct {
        const char* settings;
        int position;
        const char* label;
    } cases[] = {{"", 5, "0.5"},
                 {"[LIGHT_DIALOG]\r\nPOWER=1.7\r\n", 10, "1.0"},
                 {"[LIGHT_DIALOG]\r\nPOWER=-0.2\r\n", 0, "0.0"},
                 {"[LIGHT_DIALOG]\r\nPOWER=0.34\r\n", 3, "0.3"}};
    for (const auto& test : cases) {
        const app::StoredLight light = app::RestoreLight(state, Settings(test.settings));
        EXPECT_EQ(state.LightPowerPosition, test.position) << test.settings;
        EXPECT_EQ(app::LightPowerText(light.power), test.label) << test.settings;
        EXPECT_EQ(Light().diffuse.r, light.power);
        EXPECT_NEAR(Light().direction.y, -1.0f / 3.0f, 1e-6f) << "(1, -0.5, -1) normalised";
    }
}

TEST_F(LightingPanelTest, ClosingStoresWhatTheNextOpeningRestoresAsPrinted) {
    app::SetLight(state, {0.3f, -0.7f, 0.2f}, 0.5f);
    app::EndLightPowerChange(state, 7);
    EXPECT_EQ(Light().diffuse, (gfx::ColourValue{0.7f, 0.7f, 0.7f, 0.0f}));
    EXPECT_NEAR(Light().direction.y, -0.7f / std::sqrt(0.62f), 1e-6f) << "the direction stays";
    char x[32];
    std::snprintf(x, sizeof x, "%f", static_cast<double>(Light().direction.x));
    ASSERT_TRUE(app::StoreLight(Settings(""), state).ok());
    const files::SettingsFile settings(path_);
    EXPECT_EQ(settings.Read("LIGHT_DIALOG", "POWER", ""), "0.7");
    EXPECT_EQ(settings.Read("LIGHT_DIALOG", "LIGHT_X", ""), x);

    app::EditorState reopened;
    app::RestoreLight(reopened, settings);
    EXPECT_EQ(reopened.LightPowerPosition, 7);
    const auto printed = [&](const char* key) {
        return std::stof(settings.Read("LIGHT_DIALOG", key, ""));
    };
    EXPECT_EQ(app::LightDirection(reopened.Light),
              gfx::Vec3Normalize({printed("LIGHT_X"), printed("LIGHT_Y"), printed("LIGHT_Z")}));
}

}  // namespace
