#pragma once
// The panels' font: "ＭＳ Ｐゴシック" at 9 points, a Japanese proportional Gothic face. The
// program's font rules (gfx/font/fonts.conf) map that name to an installed face; they must reach
// the window system's font configuration before the application object reads its fonts.

#include <QFont>
#include <string>
#include <string_view>

namespace panels {

inline constexpr std::string_view kPanelFace = "ＭＳ Ｐゴシック";
inline constexpr int kPanelPointSize = 9;

// Adds the program's font rules to fontconfig's current configuration, which Qt's font
// database reads. Call before QApplication is made. Empty on success, else what went wrong.
std::string LoadProgramFontRules();

QFont PanelFont();

}  // namespace panels
