#pragma once
// The light as the Lighting panel keeps it: direction and power stored in the settings file's
// "LIGHT_DIALOG" section, read back (with the defaults when absent) as the panel opens, changed
// through its Power up-down, and written as the panel closes.

#include <string>
#include <string_view>

#include "app/core/editor_state.h"
#include "files/settings/settings_file.h"
#include "gfx/base/result.h"
#include "gfx/math/math_types.h"

namespace app {

inline constexpr std::string_view kLightSection = "LIGHT_DIALOG";
inline constexpr int kLightPowerPositions = 10;  // the Power up-down runs 0 .. 10

struct StoredLight {
    gfx::Vec3 direction{1.0f, -0.5f, -1.0f};  // as stored, not normalised
    float power = 0.5f;                       // 0 .. 1
};

// "LIGHT_X", "LIGHT_Y", "LIGHT_Z" (defaults 1, -0.5, -1) and "POWER" (default 0.5, clamped to
// 0 .. 1). Text that is not a number reads as 0. A power that is not finite reads as the default
// power, and a direction with a component that is not finite, or of no length (all zeros, or so
// small or large that its squared length leaves the float range), as the default direction.
StoredLight ReadStoredLight(const files::SettingsFile& settings);

// The editor's light takes the stored direction and power.
void ApplyStoredLight(EditorState& state, const StoredLight& light);
// The light's direction as it shines: normalised.
gfx::Vec3 LightDirection(const ViewLight& light);

// The Power position of a power: power x 10 rounded to the nearest step.
int LightPowerPosition(float power);
// The power of a Power position: position x 0.1.
float LightPowerAt(int position);
// The Power label: one decimal, as "%2.1f" prints it in the "C" locale ("0.5").
std::string LightPowerText(float power);

// Start-up: the editor's light takes the stored light and the Power its position. Returns the
// light as read.
StoredLight RestoreLight(EditorState& state, const files::SettingsFile& settings);
// The Lighting panel closes: "POWER" = the power of the Power position ("%2.1f") and "LIGHT_X",
// "LIGHT_Y", "LIGHT_Z" = the light's current, normalised direction ("%f"). Every key is written;
// the result is the first failure, if any.
gfx::Status StoreLight(const files::SettingsFile& settings, const EditorState& state);

}  // namespace app
