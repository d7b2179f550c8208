#include "gfx/meshfile/mesh_file.h"

#include <cctype>
#include <string_view>

#include "gfx/gltffile/gltffile.h"
#include "gfx/objfile/objfile.h"

namespace gfx {

namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    text.remove_prefix(text.size() - tail.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != tail[i]) return false;
    }
    return true;
}

}  // namespace

MeshFormat MeshFormatOf(const std::string& path) {
    if (EndsWithIgnoringCase(path, ".obj")) return MeshFormat::kObj;
    if (EndsWithIgnoringCase(path, ".gltf") || EndsWithIgnoringCase(path, ".glb")) {
        return MeshFormat::kGltf;
    }
    return MeshFormat::kX;
}

Result<LoadedMesh> LoadMeshFile(const std::string& path, const FindFile& find,
                                Adjacency adjacency) {
    switch (MeshFormatOf(path)) {
        case MeshFormat::kObj:
            return LoadMeshFromObj(path, find, adjacency);
        case MeshFormat::kGltf:
            return LoadMeshFromGltf(path, find, adjacency);
        case MeshFormat::kX:
            break;
    }
    return LoadMeshFromX(path, adjacency);
}

}  // namespace gfx
