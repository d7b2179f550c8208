#include "gfx/base/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "gfx/base/file_descriptor.h"

namespace gfx::file_read_detail {

namespace {

FileReadFailure SystemFailure() {
    const int code = errno;
    return {code == ENOENT ? FileReadFailure::Kind::kMissing : FileReadFailure::Kind::kOther,
            std::strerror(code)};
}

}  // namespace

std::optional<FileReadFailure> Read(const std::string& path, std::size_t maxBytes, BeyondCap beyond,
                                    const std::function<char*(std::size_t)>& grow) {
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) return SystemFailure();
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) return SystemFailure();
    if (!S_ISREG(status.st_mode)) {
        return FileReadFailure{FileReadFailure::Kind::kNotRegular, "not a regular file"};
    }
    const auto claimed = static_cast<std::uint64_t>(std::max<off_t>(status.st_size, 0));
    if (beyond == BeyondCap::kRefuse && claimed > maxBytes) {
        return FileReadFailure{FileReadFailure::Kind::kTooLarge,
                               "larger than " + std::to_string(maxBytes) + " bytes"};
    }
    // One byte past the cap tells a file that grew beyond it from one that ends there. The
    // claimed size is only a first guess: a file may change while it is read.
    const bool roomForOneMore = beyond == BeyondCap::kRefuse && maxBytes < SIZE_MAX;
    const std::size_t limit = roomForOneMore ? maxBytes + 1 : maxBytes;
    std::size_t capacity = static_cast<std::size_t>(std::min<std::uint64_t>(claimed + 1, limit));
    capacity = std::max<std::size_t>(capacity, std::min<std::size_t>(limit, 4096));
    char* data = grow(capacity);
    std::size_t used = 0;
    while (used < limit) {
        if (used == capacity) {
            capacity = std::min(limit, capacity * 2);
            data = grow(capacity);
        }
        const ssize_t got = ::read(file.get(), data + used, capacity - used);
        if (got < 0) {
            if (errno == EINTR) continue;
            return SystemFailure();
        }
        if (got == 0) break;
        used += static_cast<std::size_t>(got);
    }
    if (beyond == BeyondCap::kRefuse && used > maxBytes) {
        return FileReadFailure{FileReadFailure::Kind::kTooLarge,
                               "larger than " + std::to_string(maxBytes) + " bytes"};
    }
    grow(used);
    return std::nullopt;
}

}  // namespace gfx::file_read_detail
