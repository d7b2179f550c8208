#pragma once
// The settings file "Posewrighter.ini": window positions, light settings and colour overrides
// kept between runs. Every read and write goes to the disk (nothing is cached), like the
// platform's profile functions: a missing file, section or key reads as the caller's default,
// and a write creates the file, section and key as needed.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "gfx/base/result.h"

namespace files {

inline constexpr std::string_view kSettingsFileName = "Posewrighter.ini";

class SettingsFile {
  public:
    explicit SettingsFile(std::filesystem::path path) : path_(std::move(path)) {}

    // The stored value (trimmed); nothing when the file, the section or the key is missing or
    // the file cannot be read.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // The stored value (trimmed), or fallback when the file, the section or the key is missing
    // or the file cannot be read.
    std::string Read(std::string_view section, std::string_view key,
                     std::string_view fallback) const;
    // The value converted as the C library's atoi and atof do (text that is not a number is 0).
    int ReadInteger(std::string_view section, std::string_view key,
                    std::string_view fallback) const;
    double ReadDecimal(std::string_view section, std::string_view key,
                       std::string_view fallback) const;

    // Stores the value as given. The new file is written beside the old one and renamed over
    // it, so a failed write leaves the old file whole. A file that exists but cannot be read
    // is not replaced.
    gfx::Status Write(std::string_view section, std::string_view key, std::string_view value) const;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The program's settings file: "Posewrighter.ini" beside the executable, or in the user's
// configuration folder when the executable's folder cannot be written (framework/user_files.h).
SettingsFile ProgramSettings();

// A settings write that failed goes to the debug log ("Settings not written (what): reason"):
// a position or a colour not kept is worth a line there, not a box in the user's way.
void LogFailedSettingsWrite(const gfx::Status& written, std::string_view what);

// Read and write on ProgramSettings(). Failed writes are not reported to the user.
std::string ReadSetting(std::string_view section, std::string_view key, std::string_view fallback);
void WriteSetting(std::string_view section, std::string_view key, std::string_view value);

// atoi: leading white space, an optional sign, then decimal digits up to the first other byte;
// no digits give 0. Values beyond the int range saturate.
int SettingInteger(std::string_view text);
// atof for decimal text (independent of the process locale): leading white space, then the
// longest number; no number, or one beyond the double range, gives 0.
double SettingDecimal(std::string_view text);

}  // namespace files
