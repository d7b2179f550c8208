#include "app/core/stored_light.h"

#include <algorithm>
#include <cmath>

#include "app/core/fixed_text.h"
#include "scene/draw_primitives.h"

namespace app {

StoredLight ReadStoredLight(const files::SettingsFile& settings) {
    auto read = [&settings](std::string_view key, std::string_view fallback) {
        return static_cast<float>(settings.ReadDecimal(kLightSection, key, fallback));
    };
    StoredLight light;
    // A value that is not finite, or a direction that has no length as a float, would light
    // the model white or black for good (the Lighting drags cannot turn a zero direction, and
    // it would be written back at every quit): such values read as the defaults.
    const float power = read("POWER", "0.5");
    if (std::isfinite(power)) light.power = std::clamp(power, 0.0f, 1.0f);
    const gfx::Vec3 direction{read("LIGHT_X", "1"), read("LIGHT_Y", "-0.5"), read("LIGHT_Z", "-1")};
    const float lengthSquared =
        direction.x * direction.x + direction.y * direction.y + direction.z * direction.z;
    if (std::isnormal(lengthSquared)) light.direction = direction;
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
