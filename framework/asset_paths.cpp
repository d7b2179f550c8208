#include "framework/asset_paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace framework {

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

bool HasDriveLetter(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// "\" as "/", runs of separators as one.
std::string WindowsToLocal(std::string_view path) {
    std::string local;
    for (char c : path) {
        if (c == '\\') c = '/';
        if (c == '/' && !local.empty() && local.back() == '/') continue;
        local.push_back(c);
    }
    return local;
}

std::string JoinFolder(std::string_view folder, std::string_view relative) {
    std::string joined(folder);
    if (!joined.empty() && joined.back() != '/') joined.push_back('/');
    return joined + std::string(relative);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// The entry of `folder` whose name equals `name` ignoring case; the first in byte order when
// several do, so the choice does not depend on the order the file system lists them in.
std::optional<std::string> FindIgnoringCase(const std::string& folder, std::string_view name) {
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir) return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view candidate(entry->d_name);
        if (EqualIgnoringCase(candidate, name) && (!best || candidate < *best)) {
            best = std::string(candidate);
        }
    }
    return best;
}

// `path` with each component matched ignoring case; nullopt when a component has no match.
// Components are separated by single "/"; "." and ".." are taken as they are.
std::optional<std::string> MatchIgnoringCase(const std::string& path) {
    std::string resolved = path.starts_with('/') ? "/" : "";
    std::size_t start = resolved.size();
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string_view component(path.data() + start, end - start);
        const bool last = end == path.size();
        std::string next = resolved + std::string(component);
        const bool exact = last ? IsRegularFile(next) : IsFolder(next);
        if (!exact && component != "." && component != "..") {
            const auto found = FindIgnoringCase(resolved, component);
            if (!found) return std::nullopt;
            next = resolved + *found;
        }
        resolved = last ? next : next + "/";
        start = end + 1;
    }
    return resolved;
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
    if (IsRegularFile(asWritten)) return asWritten;
    // "C:rock.bmp" (relative to a drive's current folder) names the file "rock.bmp".
    const std::string fileName(FileNamePart(HasDriveLetter(path) ? path.substr(2) : path));
    if (fileName.empty()) return asWritten;

    std::vector<std::string> candidates;
    if (!HasDriveLetter(path)) {
        const std::string local = WindowsToLocal(path);
        candidates.push_back(local);
        if (!folder.empty() && !local.starts_with('/')) {
            candidates.push_back(JoinFolder(folder, local));
        }
    }
    if (!folder.empty()) candidates.push_back(JoinFolder(folder, fileName));

    for (const std::string& candidate : candidates) {
        if (IsRegularFile(candidate)) return candidate;
    }
    for (const std::string& candidate : candidates) {
        const auto found = MatchIgnoringCase(candidate);
        if (found && IsRegularFile(*found)) return *found;
    }
    return asWritten;
}

}  // namespace framework
