#pragma once
// The light as the Lighting panel restores it at start-up: direction and power kept in the
// settings file's "LIGHT_DIALOG" section, the defaults when absent.

#include <string_view>

#include "files/settings_file.h"
#include "framework/device/graphics_device.h"
#include "gfx/math_types.h"

namespace app {

inline constexpr std::string_view kLightSection = "LIGHT_DIALOG";

struct StoredLight {
    gfx::Vec3 direction{1.0f, -0.5f, -1.0f};  // as stored, not normalised
    float power = 0.5f;                       // 0 .. 1
};

// "LIGHT_X", "LIGHT_Y", "LIGHT_Z" (defaults 1, -0.5, -1) and "POWER" (default 0.5, clamped to
// 0 .. 1). Text that is not a number reads as 0.
StoredLight ReadStoredLight(const files::SettingsFile& settings);

// Light 0 along the direction, grey at the power: colour (p, p, p, 0).
void ApplyStoredLight(framework::GraphicsDevice& device, const StoredLight& light);

}  // namespace app
