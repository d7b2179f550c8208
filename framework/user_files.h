#pragma once
// Where the program keeps the files it writes for the user (the settings file, the "-dbf" debug
// log): beside the executable, whatever the current directory is. Where that folder cannot be
// written (an installed program), the user's configuration folder holds them instead, for
// reading as well as writing, so that what was saved is found again.

#include <string>
#include <string_view>

namespace framework {

inline constexpr std::string_view kUserFileFolderName = "Posewrighter";

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
