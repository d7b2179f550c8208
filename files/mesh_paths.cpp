#include "files/mesh_paths.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "files/text_field.h"
#include "files/text_lines.h"
#include "framework/asset_paths.h"

namespace files {

namespace {

namespace fs = std::filesystem;

bool IsAbsolute(std::string_view path) {
    const bool driveLetter =
        path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return path.starts_with('/') || path.starts_with('\\') || driveLetter;
}

// The folder as an absolute, normal path: "" is the current folder.
fs::path AbsoluteFolder(std::string_view folder) {
    std::error_code error;
    const fs::path absolute =
        fs::absolute(folder.empty() ? fs::path(".") : fs::path(folder), error);
    return (error ? fs::path(folder) : absolute).lexically_normal();
}

bool SameFolder(std::string_view a, std::string_view b) {
    std::error_code error;
    if (fs::equivalent(AbsoluteFolder(a), AbsoluteFolder(b), error)) return true;
    return AbsoluteFolder(a) == AbsoluteFolder(b);
}

bool Fits(const std::string& path) {
    return TextFieldFault(path, kMaxPathBytes).empty();
}

// The file the stored path names from `folder`, absolute; nothing when it names no file.
std::optional<fs::path> FileFrom(std::string_view stored, std::string_view folder) {
    std::error_code error;
    const fs::path file =
        fs::absolute(fs::path(framework::LookUpBeside(stored, folder)), error).lexically_normal();
    if (error || !fs::is_regular_file(file, error)) return std::nullopt;
    return file;
}

std::string PathFor(std::string_view stored, std::string_view fromFolder,
                    std::string_view toFolder) {
    const std::string kept(stored);
    if (stored.empty() || IsAbsolute(stored)) return kept;
    const std::optional<fs::path> file = FileFrom(stored, fromFolder);
    if (!file) return kept;
    std::error_code error;
    if (const auto fromNew = FileFrom(stored, toFolder);
        fromNew && fs::equivalent(*fromNew, *file, error)) {
        return kept;  // it still names the same file from the new folder
    }
    const std::string relative =
        file->lexically_relative(AbsoluteFolder(toFolder)).generic_string();
    if (!relative.empty() && Fits(relative)) return relative;
    if (Fits(file->string())) return file->string();
    return kept;
}

}  // namespace

std::vector<std::string> MeshPathsFor(const model::PartTable& table, std::string_view fromFolder,
                                      std::string_view toFolder) {
    std::vector<std::string> paths;
    const bool same = SameFolder(fromFolder, toFolder);
    for (int i = 0; i < table.count; ++i) {
        paths.push_back(same ? std::string(table.Path(i))
                             : PathFor(table.Path(i), fromFolder, toFolder));
    }
    return paths;
}

std::vector<std::string> ReplaceMeshPaths(model::PartTable& table,
                                          const std::vector<std::string>& paths) {
    std::vector<std::string> previous;
    for (int i = 0; i < table.count && i < static_cast<int>(paths.size()); ++i) {
        previous.emplace_back(table.Path(i));
        model::PartTable::SetField(table.path[i], paths[static_cast<std::size_t>(i)]);
    }
    return previous;
}

}  // namespace files
