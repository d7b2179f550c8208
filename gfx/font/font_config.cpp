// The program's fontconfig configuration and face-name matching.

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>

#include "gfx/font/font.h"
#include "gfx/font/font_text.h"

namespace gfx {
namespace {

// A configuration of our own rather than fontconfig's process-wide default, so that our rules
// never leak into (or depend on) other users of the library in the process.
struct ConfigState {
    std::mutex mutex;
    FcConfig* config = nullptr;
    std::string confPath;

    // Released at exit: fontconfig keeps some of the configuration's data behind encoded
    // pointers that leak checkers cannot follow.
    ~ConfigState() {
        if (config) FcConfigDestroy(config);
    }
};

ConfigState& State() {
    static ConfigState state;
    return state;
}

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

std::optional<std::string> DefaultConfPath() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const auto besideExe = exe.parent_path() / "fonts.conf";
        if (std::filesystem::is_regular_file(besideExe, error)) return besideExe.string();
        // An installed program keeps it in its data folder: PREFIX/share/posewrighter/.
        const auto installed =
            exe.parent_path().parent_path() / "share" / "posewrighter" / "fonts.conf";
        if (std::filesystem::is_regular_file(installed, error)) return installed.string();
    }
    if (std::filesystem::is_regular_file(POSEWRIGHTER_FONTS_CONF_SOURCE, error)) {
        return std::string(POSEWRIGHTER_FONTS_CONF_SOURCE);
    }
    return std::nullopt;
}

Status InitLocked(ConfigState& state, const std::string& requestedPath) {
    std::optional<std::string> path;
    if (requestedPath.empty()) {
        path = DefaultConfPath();
    } else {
        // fontconfig reads relative names against its own folder, not the working directory.
        std::error_code error;
        const auto absolute = std::filesystem::absolute(requestedPath, error);
        path = error ? requestedPath : absolute.string();
    }
    std::error_code error;
    if (path && !std::filesystem::is_regular_file(*path, error)) {
        return Error{"fontconfig: no font configuration file " + *path};
    }
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return Error{"fontconfig: cannot load the system configuration"};
    if (path &&
        !FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(path->c_str()), FcTrue)) {
        FcConfigDestroy(config);
        return Error{"fontconfig: cannot load " + *path};
    }
    if (state.config) FcConfigDestroy(state.config);
    state.config = config;
    state.confPath = path.value_or("");
    return {};
}

// fontconfig weight for a LOGFONT weight; none for "default".
std::optional<int> FontconfigWeight(std::int32_t weight) {
    if (weight <= 0) return std::nullopt;
    const int clamped = std::min(weight, 1000);
    const int mapped = FcWeightFromOpenType(clamped);
    return clamped >= 600 ? std::max(mapped, FC_WEIGHT_BOLD) : mapped;
}

}  // namespace

Status InitFontConfig(const std::string& confPath) {
    ConfigState& state = State();
    std::lock_guard lock(state.mutex);
    return InitLocked(state, confPath);
}

std::string LoadedFontConfPath() {
    ConfigState& state = State();
    std::lock_guard lock(state.mutex);
    return state.confPath;
}

Result<FontMatch> MatchFont(std::string_view faceName, std::int32_t weight) {
    if (!IsValidUtf8(faceName)) return Error{"font face name is not valid UTF-8"};
    ConfigState& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.config) {
        Status loaded = InitLocked(state, {});
        if (!loaded) return Error{loaded.error()};
    }

    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return Error{"fontconfig: out of memory"};
    const std::string face(faceName);
    if (!face.empty()) {
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(face.c_str()));
    }
    if (auto fcWeight = FontconfigWeight(weight)) {
        FcPatternAddInteger(pattern.get(), FC_WEIGHT, *fcWeight);
    }
    FcConfigSubstitute(state.config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());

    FcResult result = FcResultNoMatch;
    PatternPtr font(FcFontMatch(state.config, pattern.get(), &result));
    FcChar8* file = nullptr;
    if (!font || FcPatternGetString(font.get(), FC_FILE, 0, &file) != FcResultMatch) {
        return Error{"no installed font matches \"" + face + "\""};
    }
    FontMatch match;
    match.file = reinterpret_cast<const char*>(file);
    FcChar8* family = nullptr;
    if (FcPatternGetString(font.get(), FC_FAMILY, 0, &family) == FcResultMatch) {
        match.family = reinterpret_cast<const char*>(family);
    }
    FcPatternGetInteger(font.get(), FC_INDEX, 0, &match.index);
    FcBool embolden = FcFalse;
    FcPatternGetBool(font.get(), FC_EMBOLDEN, 0, &embolden);
    match.embolden = embolden == FcTrue;
    return match;
}

}  // namespace gfx
