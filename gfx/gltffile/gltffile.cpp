#include "gfx/gltffile/gltffile.h"

#include <utility>
#include <vector>

#include "gfx/base/file_read.h"
#include "gfx/gltffile/gltf_read.h"
#include "gfx/gltffile/gltf_scene.h"
#include "gfx/math/math_types.h"
#include "gfx/xfile/xfile_merge.h"

namespace gfx {

namespace {

// Larger files are refused before any memory is taken for them.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;
constexpr std::size_t kKeptBufferBytes = std::size_t{64} << 20;

std::string FolderOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

Result<LoadedMesh> LoadMeshFromGltfInMemory(std::span<const std::byte> bytes,
                                            const std::string& name,
                                            const std::optional<std::string>& folder,
                                            const FindFile& find, Adjacency adjacency) {
    tinygltf::Model model;
    if (Status s = gltffile::ReadGltfModel(bytes, folder, find, model); !s) {
        return Error{s.error()};
    }
    auto data = gltffile::BuildSceneMesh(model, name);
    if (!data) return Error{data.error()};
    // The merger checks and builds as for a .x mesh: one code path from here on.
    xfile::MeshMerger merger;
    if (Status s = merger.Add(*data, Matrix{}); !s) return Error{s.error()};
    return merger.Finish(adjacency);
}

Result<LoadedMesh> LoadMeshFromGltf(const std::string& path, const FindFile& find,
                                    Adjacency adjacency) {
    // The thread's last buffer is used again, as the .x reader does: fresh pages for every file
    // of a model would cost more than the read. Very large ones are not kept.
    thread_local std::vector<std::byte> kept;
    std::vector<std::byte> bytes = std::move(kept);
    if (auto failure = ReadRegularFile(path, kMaxFileBytes, BeyondCap::kRefuse, bytes)) {
        if (failure->kind == FileReadFailure::Kind::kTooLarge) {
            return Error{path + ": the file is larger than 1 GiB"};
        }
        return Error{path + ": cannot open the file: " + failure->reason};
    }
    auto loaded = LoadMeshFromGltfInMemory(bytes, path, FolderOfPath(path), find, adjacency);
    if (bytes.capacity() <= kKeptBufferBytes) kept = std::move(bytes);
    if (!loaded) return Error{path + ": " + loaded.error()};
    return loaded;
}

}  // namespace gfx
