#include "framework/asset_paths.h"

#include <sys/stat.h>

namespace framework {

namespace {
bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
}  // namespace

std::string_view FileNamePart(std::string_view path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string FolderOf(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string LookUpBeside(std::string_view path, std::string_view folder) {
    const std::string asWritten(path);
    if (IsRegularFile(asWritten) || folder.empty()) return asWritten;
    std::string beside(folder);
    if (beside.back() != '/') beside.push_back('/');
    beside += FileNamePart(path);
    return IsRegularFile(beside) ? beside : asWritten;
}

}  // namespace framework
