#include "app/core/stored_light.h"

#include <algorithm>
#include <cmath>

#include "app/core/editor_actions.h"
#include "app/core/fixed_text.h"
#include "framework/device/graphics_types.h"

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

void ApplyStoredLight(EditorState& state, const StoredLight& light) {
    SetLight(state, light.direction, light.power);
}

gfx::Vec3 LightDirection(const ViewLight& light) {
    return framework::MakeDirectionalLight(light.direction, {}).direction;
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

StoredLight RestoreLight(EditorState& state, const files::SettingsFile& settings) {
    const StoredLight light = ReadStoredLight(settings);
    SetLightPowerPosition(state, LightPowerPosition(light.power));
    ApplyStoredLight(state, light);
    return light;
}

gfx::Status StoreLight(const files::SettingsFile& settings, const EditorState& state) {
    const gfx::Vec3 direction = LightDirection(state.Light);
    gfx::Status first;
    const auto write = [&](std::string_view key, std::string value) {
        gfx::Status status = settings.Write(kLightSection, key, value);
        if (first.ok() && !status.ok()) first = std::move(status);
    };
    write("POWER", LightPowerText(LightPowerAt(state.LightPowerPosition)));
    write("LIGHT_X", FixedText(direction.x, 6));
    write("LIGHT_Y", FixedText(direction.y, 6));
    write("LIGHT_Z", FixedText(direction.z, 6));
    return first;
}

}  // namespace app
