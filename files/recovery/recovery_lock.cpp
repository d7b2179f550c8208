#include "files/recovery/recovery_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <utility>

namespace files {

namespace {

std::string Reason(const std::string& what, const std::string& path) {
    return what + " \"" + path + "\": " + std::strerror(errno);
}

// Whether `fd` is still the file at `path`: a holder that finished removes its lock file, and a
// lock then taken on the removed file guards nothing.
bool StillThere(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

RecoveryLock::RecoveryLock(RecoveryLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

RecoveryLock& RecoveryLock::operator=(RecoveryLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

RecoveryLock::~RecoveryLock() {
    Release();
}

void RecoveryLock::Release() {
    if (fd_ >= 0) ::close(fd_);  // closing the only descriptor lets go of the flock
    fd_ = -1;
}

void RecoveryLock::RemoveAndRelease() {
    if (fd_ >= 0) ::unlink(path_.c_str());
    Release();
}

gfx::Result<RecoveryLock> RecoveryLock::TryTake(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return gfx::Error{Reason("cannot open", path)};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        gfx::Error error{errno == EWOULDBLOCK ? "\"" + path + "\" is held"
                                              : Reason("cannot lock", path)};
        ::close(fd);
        return error;
    }
    if (!StillThere(fd, path)) {
        ::close(fd);
        return gfx::Error{"\"" + path + "\" was removed by its holder"};
    }
    return RecoveryLock(fd, path);
}

gfx::Result<RecoveryLock> RecoveryLock::Create(const std::string& path) {
    const std::string temporary = path + ".new";
    const int fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return gfx::Error{Reason("cannot make", temporary)};
    RecoveryLock lock(fd, temporary);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        gfx::Error error{Reason("cannot lock", temporary)};
        lock.RemoveAndRelease();
        return error;
    }
    // link() refuses an existing name where rename() would replace it.
    if (::link(temporary.c_str(), path.c_str()) != 0) {
        gfx::Error error{Reason("cannot name", path)};
        lock.RemoveAndRelease();
        return error;
    }
    ::unlink(temporary.c_str());
    lock.path_ = path;
    return lock;
}

}  // namespace files
