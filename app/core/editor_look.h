#pragma once
// How the editor's view looks: the window's title and settings section, the background, the
// overlay text's font and the camera's projection. The editor, the command-line renderer and the
// tests all draw with these.

#include <cstdint>
#include <string_view>

#include "app/version/program_version.h"
#include "gfx/math/math_types.h"

namespace app {

inline constexpr std::string_view kMainWindowTitle = "Posewrighter Version " POSEWRIGHTER_VERSION;
inline constexpr std::string_view kMainWindowSection = "MAIN_WINDOW";
inline constexpr gfx::Colour kBackgroundColour = 0xFF18415A;
// The overlay text's font: slot 0, a Japanese monospaced Gothic face, 10 pixels high, and the
// weight value that start-up has always passed through unchanged.
inline constexpr std::string_view kOverlayFace = "ＭＳ ゴシック";
inline constexpr std::int32_t kOverlayHeight = 10;
inline constexpr std::int32_t kOverlayWeight = -256;

// The camera's projection: 45 degrees vertically, the back buffer's aspect (which follows the
// window), depth 0.1 to 10000.
gfx::Matrix EditorProjection(int screenWidth, int screenHeight);

}  // namespace app
