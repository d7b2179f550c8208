#include "gfx/xfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string_view>
#include <vector>

#include "gfx/xfile_binary_reader.h"
#include "gfx/xfile_header.h"
#include "gfx/xfile_merge.h"
#include "gfx/xfile_mszip.h"
#include "gfx/xfile_parser.h"
#include "gfx/xfile_text_reader.h"

namespace gfx {

Result<LoadedMesh> LoadMeshFromXInMemory(std::span<const std::byte> bytes) {
    auto header = xfile::ParseHeader(bytes);
    if (!header) return Error{header.error()};

    std::span<const std::byte> body = bytes.subspan(xfile::kHeaderSize);
    std::vector<std::byte> inflated;
    if (header->compressed) {
        auto result = xfile::InflateMsZip(body);
        if (!result) return Error{result.error()};
        inflated = std::move(*result);
        body = inflated;
    }

    xfile::MeshMerger merger;
    Status parsed;
    if (header->binary) {
        xfile::BinaryReader reader(body, header->floatBytes);
        parsed = xfile::ParseObjects(reader, merger);
    } else {
        xfile::TextReader reader(
            std::string_view(reinterpret_cast<const char*>(body.data()), body.size()));
        parsed = xfile::ParseObjects(reader, merger);
    }
    if (!parsed) return Error{parsed.error()};
    return merger.Finish();
}

namespace {

// Larger files are refused before any memory is taken for them.
constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;
// A read buffer up to this size is kept for the thread's next file.
constexpr std::size_t kKeptBufferBytes = std::size_t{64} << 20;

// The whole file in one buffer: sized from the file's length and read with plain reads (a file
// that shrinks or grows meanwhile reads as far as it goes). False on a read error.
bool ReadWhole(int fd, std::vector<char>& chars) {
    struct stat status {};
    const bool sized = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    std::size_t capacity = sized ? static_cast<std::size_t>(status.st_size) + 1 : 65536;
    capacity = std::max(capacity, chars.capacity());
    std::size_t used = 0;
    for (;;) {
        if (used == capacity) capacity *= 2;
        chars.resize(capacity);
        const ssize_t got = ::read(fd, chars.data() + used, capacity - used);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) break;
        used += static_cast<std::size_t>(got);
    }
    chars.resize(used);
    return true;
}

}  // namespace

Result<LoadedMesh> LoadMeshFromX(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Error{path + ": cannot open the file"};
    struct stat status {};
    if (::fstat(fd, &status) == 0 && static_cast<std::uint64_t>(status.st_size) > kMaxFileBytes) {
        ::close(fd);
        return Error{path + ": the file is larger than 1 GiB"};
    }
    // The thread's last buffer is used again: loading a model reads many files one after another,
    // and fresh pages for each would cost more than the read. Very large ones are not kept.
    thread_local std::vector<char> kept;
    std::vector<char> chars = std::move(kept);
    const bool read = ReadWhole(fd, chars);
    ::close(fd);
    if (!read) return Error{path + ": cannot read the file"};
    auto loaded = LoadMeshFromXInMemory(std::as_bytes(std::span(chars)));
    if (chars.capacity() <= kKeptBufferBytes) kept = std::move(chars);
    if (!loaded) return Error{path + ": " + loaded.error()};
    return loaded;
}

}  // namespace gfx
