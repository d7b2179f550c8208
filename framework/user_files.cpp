#include "framework/user_files.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "framework/command_line.h"

namespace framework {

namespace {
bool IsSet(const char* text) {
    return text != nullptr && text[0] != '\0';
}
}  // namespace

std::string ChooseUserFileDirectory(std::string_view moduleDirectory, bool moduleDirectoryWritable,
                                    const char* xdgConfigHome, const char* home) {
    if (moduleDirectoryWritable && !moduleDirectory.empty()) return std::string(moduleDirectory);
    std::string base;
    // The XDG base-directory rules ignore a relative $XDG_CONFIG_HOME.
    if (IsSet(xdgConfigHome) && xdgConfigHome[0] == '/') {
        base = xdgConfigHome;
    } else if (IsSet(home)) {
        base = std::string(home);
        if (base.back() != '/') base += '/';
        base += ".config";
    } else {
        return std::string(moduleDirectory);
    }
    if (base.back() != '/') base += '/';
    return base + std::string(kUserFileFolderName) + "/";
}

bool IsInstalledLayout(std::string_view moduleDirectory) {
    if (moduleDirectory.empty()) return false;
    std::error_code ignored;
    return std::filesystem::is_directory(
        std::filesystem::path(moduleDirectory) / ".." / kInstalledDataFolder, ignored);
}

std::string UserFilePath(std::string_view fileName) {
    const std::string moduleDirectory = ModuleDirectory();
    // An installed program never writes into its own folder, even where it could (as root).
    const bool writable = !moduleDirectory.empty() && !IsInstalledLayout(moduleDirectory) &&
                          ::access(moduleDirectory.c_str(), W_OK) == 0;
    const std::string directory = ChooseUserFileDirectory(
        moduleDirectory, writable, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (directory != moduleDirectory) {
        std::error_code ignored;
        std::filesystem::create_directories(directory, ignored);
    }
    return directory + std::string(fileName);
}

}  // namespace framework
