#include "gfx/xfile/xfile.h"

#include <string_view>
#include <vector>

#include "gfx/base/file_read.h"
#include "gfx/xfile/xfile_binary_reader.h"
#include "gfx/xfile/xfile_header.h"
#include "gfx/xfile/xfile_merge.h"
#include "gfx/xfile/xfile_mszip.h"
#include "gfx/xfile/xfile_parser.h"
#include "gfx/xfile/xfile_text_reader.h"

namespace gfx {

Result<LoadedMesh> LoadMeshFromXInMemory(std::span<const std::byte> bytes, Adjacency adjacency) {
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
    return merger.Finish(adjacency);
}

namespace {

// Larger files are refused before any memory is taken for them.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;
// A read buffer up to this size is kept for the thread's next file.
constexpr std::size_t kKeptBufferBytes = std::size_t{64} << 20;

}  // namespace

Result<LoadedMesh> LoadMeshFromX(const std::string& path, Adjacency adjacency) {
    // The thread's last buffer is used again: loading a model reads many files one after another,
    // and fresh pages for each would cost more than the read. Very large ones are not kept.
    thread_local std::vector<char> kept;
    std::vector<char> chars = std::move(kept);
    if (auto failure = ReadRegularFile(path, kMaxFileBytes, BeyondCap::kRefuse, chars)) {
        if (failure->kind == FileReadFailure::Kind::kTooLarge) {
            return Error{path + ": the file is larger than 1 GiB"};
        }
        return Error{path + ": cannot open the file: " + failure->reason};
    }
    auto loaded = LoadMeshFromXInMemory(std::as_bytes(std::span(chars)), adjacency);
    if (chars.capacity() <= kKeptBufferBytes) kept = std::move(chars);
    if (!loaded) return Error{path + ": " + loaded.error()};
    return loaded;
}

}  // namespace gfx
