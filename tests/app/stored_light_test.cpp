#include "app/stored_light.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "framework/debug_log.h"
#include "scene/draw_primitives.h"
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

TEST_F(StoredLightTest, AppliedAsAGreyLightAlongTheNormalisedDirection) {
    framework::ProcessLog().Discard();
    framework::testing_support::HeadlessDevice headless;
    ASSERT_TRUE(headless.created);
    app::ApplyStoredLight(headless.device, {{0.0f, -3.0f, 4.0f}, 0.7f});
    const framework::Light& light = scene::CurrentLight(headless.device);
    EXPECT_EQ(light.diffuse, (gfx::ColourValue{0.7f, 0.7f, 0.7f, 0.0f}));
    EXPECT_NEAR(light.direction.y, -0.6f, 1e-6f);
    EXPECT_NEAR(light.direction.z, 0.8f, 1e-6f);
    framework::ProcessLog().SetPath("");
}

}  // namespace
