#include "files/recovery/recovery_copies.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <system_error>

#include "files/recovery/recovery_copy.h"
#include "framework/debug_log.h"

namespace files {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCopyPrefix = "editor-";
constexpr std::string_view kLockExtension = ".lock";
// Where a copy of the older layout gathers while it is moved; a move cut short is finished by
// the next look.
constexpr std::string_view kMovingName = "earlier.moving";

std::uint64_t MillisecondsNow() {
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch() /
                                      std::chrono::milliseconds(1));
}

// "editor-<id>" with no dot in the id: a copy's folder (or, with ".lock", its lock file), never
// a removal in progress, a temporary lock file or a copy set aside.
bool IsCopyName(std::string_view name) {
    return name.size() > kCopyPrefix.size() && name.starts_with(kCopyPrefix) &&
           name.find('.') == std::string_view::npos;
}

// The older layout's files directly in the recovery folder.
bool IsFlatCopyFile(std::string_view name) {
    return name == kRecoveryManifestName || IsRecoveryDocumentName(name);
}

void MoveFlatCopy(const fs::path& root) {
    std::error_code error;
    std::vector<fs::path> flat;
    for (const fs::directory_entry& entry : fs::directory_iterator(root, error)) {
        if (entry.is_regular_file(error) && IsFlatCopyFile(entry.path().filename().string())) {
            flat.push_back(entry.path());
        }
    }
    const fs::path moving = root / kMovingName;
    if (flat.empty() && !fs::exists(moving, error)) return;
    fs::create_directory(moving, error);
    if (error) {
        framework::LogMessage("Recovery copy of the older layout not moved: %s\n",
                              error.message().c_str());
        return;
    }
    for (const fs::path& file : flat) {
        fs::rename(file, moving / file.filename(), error);  // another editor may be quicker
    }
    const fs::path to =
        root / (std::string(kCopyPrefix) + "earlier-" + std::to_string(MillisecondsNow()));
    fs::rename(moving, to, error);
    if (!error)
        framework::LogMessage("Recovery copy of the older layout moved to \"%s\"\n",
                              to.string().c_str());
}

fs::file_time_type WrittenTime(const fs::path& folder) {
    std::error_code error;
    fs::file_time_type time = fs::last_write_time(folder / kRecoveryManifestName, error);
    if (error) time = fs::last_write_time(folder, error);
    return error ? fs::file_time_type::min() : time;
}

}  // namespace

std::string NewRecoveryCopyId() {
    return std::to_string(::getpid()) + "-" + std::to_string(MillisecondsNow());
}

gfx::Result<OwnRecoveryCopy> ClaimRecoveryCopy(const std::string& root, std::string_view id) {
    std::error_code error;
    fs::create_directories(root, error);
    if (error) return gfx::Error{"cannot make \"" + root + "\": " + error.message()};
    const fs::path name = fs::path(root) / (std::string(kCopyPrefix) + std::string(id));
    auto lock = RecoveryLock::Create(name.string() + std::string(kLockExtension));
    if (!lock) return gfx::Error{lock.error()};
    return OwnRecoveryCopy{name.string() + "/", std::move(*lock)};
}

std::vector<LeftRecoveryCopy> FindLeftRecoveryCopies(const std::string& root) {
    std::vector<LeftRecoveryCopy> left;
    std::error_code error;
    if (root.empty() || !fs::is_directory(root, error)) return left;
    MoveFlatCopy(root);

    std::vector<fs::path> folders, locks;
    for (const fs::directory_entry& entry : fs::directory_iterator(root, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory(error) && IsCopyName(name)) {
            folders.push_back(entry.path());
        } else if (name.ends_with(kLockExtension) && IsCopyName(std::string_view(name).substr(
                                                         0, name.size() - kLockExtension.size()))) {
            locks.push_back(entry.path());
        }
    }
    for (const fs::path& folder : folders) {
        auto lock = RecoveryLock::TryTake(folder.string() + std::string(kLockExtension));
        if (!lock) continue;  // its editor runs
        left.push_back({folder.string() + "/", std::move(*lock), WrittenTime(folder)});
    }
    // A lock file whose editor ended (or was killed) with no copy kept.
    for (const fs::path& path : locks) {
        fs::path folder = path;
        folder.replace_extension();
        if (fs::exists(folder, error)) continue;
        if (auto lock = RecoveryLock::TryTake(path.string())) lock->RemoveAndRelease();
    }
    std::sort(left.begin(), left.end(), [](const LeftRecoveryCopy& a, const LeftRecoveryCopy& b) {
        return a.written > b.written;
    });
    return left;
}

void ForgetLeftRecoveryCopy(LeftRecoveryCopy& copy) {
    copy.lock.RemoveAndRelease();
}

}  // namespace files
