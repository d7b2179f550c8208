#include "app/stored_light.h"

#include <algorithm>
#include <cmath>

#include "app/fixed_text.h"
#include "scene/draw_primitives.h"

namespace app {

StoredLight ReadStoredLight(const files::SettingsFile& settings) {
    auto read = [&settings](std::string_view key, std::string_view fallback) {
        return static_cast<float>(settings.ReadDecimal(kLightSection, key, fallback));
    };
    StoredLight light;
    light.power = std::clamp(read("POWER", "0.5"), 0.0f, 1.0f);
    light.direction = {read("LIGHT_X", "1"), read("LIGHT_Y", "-0.5"), read("LIGHT_Z", "-1")};
    return light;
}

void ApplyStoredLight(framework::GraphicsDevice& device, const StoredLight& light) {
    scene::SetDirectionalLight(device, light.direction, light.power, light.power, light.power,
                               0.0f);
}

int LightPowerPosition(float power) {
    return static_cast<int>(std::lround(power * static_cast<float>(kLightPowerPositions)));
}

float LightPowerAt(int position) {
    return static_cast<float>(position) * 0.1f;
}

std::string LightPowerText(float power) {
    return FixedText(power, 1);
}

StoredLight RestoreLight(framework::GraphicsDevice& device, const files::SettingsFile& settings,
                         PanelValues& panels) {
    const StoredLight light = ReadStoredLight(settings);
    panels.lightPowerPosition = LightPowerPosition(light.power);
    ApplyStoredLight(device, light);
    return light;
}

void ChangeLightPower(framework::GraphicsDevice& device, PanelValues& panels, int position) {
    panels.lightPowerPosition = position;
    ApplyStoredLight(device, {scene::CurrentLight(device).direction, LightPowerAt(position)});
}

gfx::Status StoreLight(const files::SettingsFile& settings, const framework::GraphicsDevice& device,
                       const PanelValues& panels) {
    const gfx::Vec3 direction = scene::CurrentLight(device).direction;
    gfx::Status first;
    const auto write = [&](std::string_view key, std::string value) {
        gfx::Status status = settings.Write(kLightSection, key, value);
        if (first.ok() && !status.ok()) first = std::move(status);
    };
    write("POWER", LightPowerText(LightPowerAt(panels.lightPowerPosition)));
    write("LIGHT_X", FixedText(direction.x, 6));
    write("LIGHT_Y", FixedText(direction.y, 6));
    write("LIGHT_Z", FixedText(direction.z, 6));
    return first;
}

}  // namespace app
