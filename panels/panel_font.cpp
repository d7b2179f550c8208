#include "panels/panel_font.h"

#include <fontconfig/fontconfig.h>

#include "gfx/font/font.h"

namespace panels {

std::string LoadProgramFontRules() {
    // The overlay's own configuration knows where the rules file is.
    std::string path = gfx::LoadedFontConfPath();
    if (path.empty()) {
        if (const gfx::Status loaded = gfx::InitFontConfig(); !loaded) return loaded.error();
        path = gfx::LoadedFontConfPath();
    }
    if (path.empty()) return "no font rules file was found";
    FcConfig* current = FcConfigGetCurrent();
    if (current == nullptr) return "fontconfig has no configuration";
    if (FcConfigParseAndLoad(current, reinterpret_cast<const FcChar8*>(path.c_str()), FcTrue) !=
        FcTrue) {
        return "fontconfig: cannot load " + path;
    }
    return {};
}

QFont PanelFont() {
    QFont font(QString::fromUtf8(kPanelFace.data(), static_cast<qsizetype>(kPanelFace.size())));
    font.setPointSize(kPanelPointSize);
    return font;
}

}  // namespace panels
