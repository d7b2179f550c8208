#include "gfx/meshfile/mesh_file.h"

#include <cctype>

#include "gfx/objfile/objfile.h"

namespace gfx {

MeshFormat MeshFormatOf(const std::string& path) {
    constexpr std::string_view kObj = ".obj";
    if (path.size() < kObj.size()) return MeshFormat::kX;
    const std::string_view tail = std::string_view(path).substr(path.size() - kObj.size());
    for (std::size_t i = 0; i < kObj.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != kObj[i]) return MeshFormat::kX;
    }
    return MeshFormat::kObj;
}

Result<LoadedMesh> LoadMeshFile(const std::string& path, const FindFile& find,
                                Adjacency adjacency) {
    switch (MeshFormatOf(path)) {
        case MeshFormat::kObj:
            return LoadMeshFromObj(path, find, adjacency);
        case MeshFormat::kX:
            break;
    }
    return LoadMeshFromX(path, adjacency);
}

}  // namespace gfx
