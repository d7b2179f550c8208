#include "files/document_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "gfx/base/file_descriptor.h"
#include "gfx/base/file_read.h"

namespace files {

namespace {

gfx::Error SystemError(const std::string& what, const std::string& path) {
    return gfx::Error{what + " \"" + path + "\": " + std::strerror(errno)};
}

using Descriptor = gfx::FileDescriptor;

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file a write must replace: the target of a symbolic link rather than the link.
std::string ResolveTarget(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            std::string target(resolved);
            std::free(resolved);
            return target;
        }
    }
    return path;
}

// Creates a file that did not exist, beside the target, so that the rename stays within one
// file system. The mode 0666 is narrowed by the process umask as for any new file.
int CreateTemporaryBeside(const std::string& target, std::string& temporary) {
    static std::atomic<unsigned> serial{0};
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + "." + base + ".tmp" + std::to_string(::getpid()) + "-" +
                    std::to_string(serial++);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

gfx::Result<std::string> ReadDocumentBytes(const std::string& path, std::size_t maxBytes) {
    std::string bytes;
    if (auto failure = gfx::ReadRegularFile(path, maxBytes, gfx::BeyondCap::kTruncate, bytes)) {
        return gfx::Error{std::move(failure->reason)};
    }
    return bytes;
}

gfx::Result<std::string> ReadFilePrefix(const std::string& path, std::size_t maxBytes) {
    auto bytes = ReadDocumentBytes(path, maxBytes);
    if (!bytes) return gfx::Error{"cannot open \"" + path + "\": " + bytes.error()};
    return bytes;
}

gfx::Status ReplaceFile(const std::string& path, std::string_view bytes) {
    const std::string target = ResolveTarget(path);
    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (!S_ISREG(existing.st_mode)) {
            errno = EISDIR;
            return SystemError("not a regular file", target);
        }
        // Renaming over a read-only file would succeed; the protection must hold as for an
        // ordinary overwrite. A file without any write bit is read-only for a privileged user
        // too, as a read-only file is on the systems our users come from.
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            errno = EACCES;
            return SystemError("read-only", target);
        }
        if (::access(target.c_str(), W_OK) != 0) return SystemError("cannot write to", target);
    }

    std::string temporary;
    Descriptor file(CreateTemporaryBeside(target, temporary));
    if (file.get() < 0) return SystemError("cannot create a file beside", target);
    const auto abandon = [&](const char* what) {
        const gfx::Error error = SystemError(what, temporary);
        ::close(file.Release());
        ::unlink(temporary.c_str());
        return error;
    };
    if (exists && ::fchmod(file.get(), existing.st_mode & 07777) != 0) {
        return abandon("cannot set the permissions of");
    }
    if (!WriteAll(file.get(), bytes)) return abandon("cannot write");
    // The data must be on disk before the rename makes it the document.
    if (::fsync(file.get()) != 0) return abandon("cannot flush");
    if (::close(file.Release()) != 0) {
        const gfx::Error error = SystemError("cannot close", temporary);
        ::unlink(temporary.c_str());
        return error;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const gfx::Error error = SystemError("cannot rename the new file over", target);
        ::unlink(temporary.c_str());
        return error;
    }
    return {};
}

}  // namespace files
