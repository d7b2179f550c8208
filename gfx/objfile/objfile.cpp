#include "gfx/objfile/objfile.h"

#include <utility>

#include "gfx/base/file_read.h"
#include "gfx/math/math_types.h"
#include "gfx/objfile/objfile_parse.h"
#include "gfx/xfile/xfile_merge.h"
#include "gfx/xfile/xfile_quote.h"

namespace gfx {

namespace {

// Larger files are refused before any memory is taken for them.
constexpr std::size_t kMaxObjBytes = std::size_t{1} << 30;
constexpr std::size_t kMaxMtlBytes = std::size_t{64} << 20;

std::string ReadFailure(const FileReadFailure& failure, const char* limit) {
    if (failure.kind == FileReadFailure::Kind::kTooLarge) {
        return std::string("the file is larger than ") + limit;
    }
    return "cannot open the file: " + failure.reason;
}

}  // namespace

Result<LoadedMesh> LoadMeshFromObjInMemory(std::string_view text, const MtlSource& mtl,
                                           Adjacency adjacency) {
    auto parsed = objfile::ParseObj(text, mtl);
    if (!parsed) return Error{parsed.error()};
    parsed->data.name = parsed->name;
    // The merger checks and fans as for a .x mesh: one code path from here on.
    xfile::MeshMerger merger;
    if (Status s = merger.Add(parsed->data, Matrix{}); !s) return Error{s.error()};
    return merger.Finish(adjacency);
}

Result<LoadedMesh> LoadMeshFromObj(const std::string& path, const FindFile& find,
                                   Adjacency adjacency) {
    std::string text;
    if (auto failure = ReadRegularFile(path, kMaxObjBytes, BeyondCap::kRefuse, text)) {
        return Error{path + ": " + ReadFailure(*failure, "1 GiB")};
    }
    const std::string folder = objfile::NameFolder(path);
    const MtlSource libraries = [&folder, &find](std::string_view name) -> Result<std::string> {
        const std::string full = find(name, folder);
        std::string library;
        if (auto failure = ReadRegularFile(full, kMaxMtlBytes, BeyondCap::kRefuse, library)) {
            return Error{"material library " + xfile::Quoted(name) + ": " +
                         ReadFailure(*failure, "64 MiB")};
        }
        return library;
    };
    auto loaded = LoadMeshFromObjInMemory(text, libraries, adjacency);
    if (!loaded) return Error{path + ": " + loaded.error()};
    return loaded;
}

}  // namespace gfx
