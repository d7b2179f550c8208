#pragma once
// Reading files whose names come from documents, settings and the command line. Only regular
// files are read: a device such as /dev/zero never ends and a FIFO waits for a writer for ever.
// The file is opened without blocking, so that opening a FIFO cannot wait either, checked, and
// then read with a cap that holds whatever size the file claims.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace gfx {

struct FileReadFailure {
    enum class Kind { kMissing, kNotRegular, kTooLarge, kOther };
    Kind kind = Kind::kOther;
    // What went wrong, without the path: "No such file or directory", "not a regular file",
    // "larger than 1048576 bytes".
    std::string reason;
};

// What a file longer than the cap gives: a failure, or its first maxBytes.
enum class BeyondCap { kRefuse, kTruncate };

namespace file_read_detail {
// Reads into the buffer `grow` returns for a requested size (at least the bytes read so far
// are kept); `grow` is called last with the final length.
std::optional<FileReadFailure> Read(const std::string& path, std::size_t maxBytes, BeyondCap beyond,
                                    const std::function<char*(std::size_t)>& grow);
}  // namespace file_read_detail

// Reads the regular file at `path` into `bytes` (any contiguous container of one-byte elements:
// std::string, std::vector<char>, std::vector<std::byte>). Nothing is returned on success.
template <typename Bytes>
std::optional<FileReadFailure> ReadRegularFile(const std::string& path, std::size_t maxBytes,
                                               BeyondCap beyond, Bytes& bytes) {
    static_assert(sizeof(typename Bytes::value_type) == 1);
    return file_read_detail::Read(path, maxBytes, beyond, [&bytes](std::size_t size) {
        bytes.resize(size);
        return reinterpret_cast<char*>(bytes.data());
    });
}

}  // namespace gfx
