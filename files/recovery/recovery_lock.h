#pragma once
// The lock that marks a recovery copy's editor as running: flock on a lock file the editor keeps
// open for its whole run. The kernel lets go of it when the process ends however it ends (a kill
// included), so a copy whose lock can be taken has no editor left to keep it.

#include <string>

#include "gfx/base/result.h"

namespace files {

class RecoveryLock {
  public:
    RecoveryLock() = default;
    RecoveryLock(RecoveryLock&& other) noexcept;
    RecoveryLock& operator=(RecoveryLock&& other) noexcept;
    RecoveryLock(const RecoveryLock&) = delete;
    RecoveryLock& operator=(const RecoveryLock&) = delete;
    // Lets go of the lock; the file stays.
    ~RecoveryLock();

    // Takes the lock on the file at `path` (made when missing) without waiting. Fails when
    // another holder has it, or when the file at `path` was replaced or removed while it was
    // being taken (its holder had just finished with it).
    static gfx::Result<RecoveryLock> TryTake(const std::string& path);

    // Makes the file at `path` already locked: it is written under a temporary name, locked,
    // and renamed into place, so no one else ever finds it unlocked. Fails when `path` exists.
    static gfx::Result<RecoveryLock> Create(const std::string& path);

    bool held() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

    // Removes the lock file, then lets go of the lock: no one can take it afterwards.
    void RemoveAndRelease();

  private:
    RecoveryLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    void Release();

    int fd_ = -1;
    std::string path_;
};

}  // namespace files
