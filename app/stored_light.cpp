#include "app/stored_light.h"

#include <algorithm>

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

}  // namespace app
