#pragma once
// Where the program keeps the files it writes for the user (the settings file, the "-dbf" debug
// log): beside the executable, whatever the current directory is. Where that folder cannot be
// written, or the program is installed (its data folder share/posewrighter/ stands beside its
// bin/ folder), the user's configuration folder holds them instead, for reading as well as
// writing, so that what was saved is found again.

#include <string>
#include <string_view>

namespace framework {

inline constexpr std::string_view kUserFileFolderName = "Posewrighter";
// The installed program's read-only data, relative to the folder above its executable's.
inline constexpr std::string_view kInstalledDataFolder = "share/posewrighter";

// True when the executable's folder (ending with "/") is the bin/ of an installed tree.
bool IsInstalledLayout(std::string_view moduleDirectory);

// The folder, ending with "/", for the given situation: the executable's folder when it can be
// written; otherwise $XDG_CONFIG_HOME/Posewrighter/ (only an absolute $XDG_CONFIG_HOME counts),
// else $HOME/.config/Posewrighter/. With no usable configuration folder either, the
// executable's folder (reading still works there). Null or empty texts mean "not set".
std::string ChooseUserFileDirectory(std::string_view moduleDirectory, bool moduleDirectoryWritable,
                                    const char* xdgConfigHome, const char* home);

// The full path of the named file under that rule for this process. When the configuration
// folder is chosen it is created (best effort), so that the file can be written there.
std::string UserFilePath(std::string_view fileName);

}  // namespace framework
