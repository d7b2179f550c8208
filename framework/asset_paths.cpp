#include "framework/asset_paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "framework/display_text.h"

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

namespace {

// How the relative part of a candidate is written on disk: as it is, or in Shift-JIS. Nothing
// when it cannot be written that way.
using DiskForm = std::optional<std::string> (*)(std::string_view);

std::optional<std::string> AsItIs(std::string_view text) {
    return std::string(text);
}

// Steps 2 and 3 of the look-up for a path already checked as written. Separators are decided
// on `path` as given, so a Shift-JIS path must come here decoded: its second bytes may be 0x5C,
// which is no separator there.
std::optional<std::string> LookUpCandidates(std::string_view path, std::string_view folder,
                                            DiskForm diskForm) {
    // "C:rock.bmp" (relative to a drive's current folder) names the file "rock.bmp".
    const std::optional<std::string> fileName =
        diskForm(FileNamePart(HasDriveLetter(path) ? path.substr(2) : path));
    if (!fileName || fileName->empty()) return std::nullopt;

    std::vector<std::string> candidates;
    if (!HasDriveLetter(path)) {
        if (const auto local = diskForm(WindowsToLocal(path))) {
            candidates.push_back(*local);
            if (!folder.empty() && !local->starts_with('/')) {
                candidates.push_back(JoinFolder(folder, *local));
            }
        }
    }
    // No folder is the current one: a document found there by a relative path has none.
    candidates.push_back(folder.empty() ? *fileName : JoinFolder(folder, *fileName));

    for (const std::string& candidate : candidates) {
        if (IsRegularFile(candidate)) return candidate;
    }
    for (const std::string& candidate : candidates) {
        const auto found = MatchIgnoringCase(candidate);
        if (found && IsRegularFile(*found)) return *found;
    }
    return std::nullopt;
}

}  // namespace

std::string LookUpBeside(std::string_view path, std::string_view folder) {
    const std::string asWritten(path);
    if (IsRegularFile(asWritten)) return asWritten;
    if (auto found = LookUpCandidates(path, folder, AsItIs)) return *found;
    if (IsAscii(path)) return asWritten;
    // 4. The name in the other encoding: a Shift-JIS path finds its file under the UTF-8 name
    //    (as unpackers and file managers here give it) or under Shift-JIS bytes with its
    //    separators read right; a UTF-8 path finds a file named in Shift-JIS.
    if (IsValidUtf8(path)) {
        if (auto found = LookUpCandidates(path, folder, ShiftJisFromUtf8)) return *found;
    } else if (const auto decoded = Utf8FromShiftJis(path)) {
        if (auto found = LookUpCandidates(*decoded, folder, AsItIs)) return *found;
        if (auto found = LookUpCandidates(*decoded, folder, ShiftJisFromUtf8)) return *found;
    }
    return asWritten;
}

}  // namespace framework
