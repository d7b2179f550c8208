#pragma once
// Loading DirectX .x mesh files (text, binary, MSZIP-compressed) into one merged triangle mesh.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gfx/base/result.h"
#include "gfx/mesh/mesh.h"

namespace gfx {

struct LoadedMesh {
    Mesh mesh;                                // 16-bit indices, one attribute id a face
    std::vector<ExtendedMaterial> materials;  // one a subset, in material-list order
    std::vector<std::uint32_t> adjacency;     // three entries a face, kNoNeighbour = none
};

// Whether a loader works out LoadedMesh::adjacency (left empty otherwise): a caller with no use
// for it spares that pass.
enum class Adjacency : bool { kSkip, kMake };

// All meshes of the file merged, transformed by their frames, polygons fanned into triangles.
// The mesh always carries normals: the file's where it gives them, else made from the faces.
Result<LoadedMesh> LoadMeshFromXInMemory(std::span<const std::byte> bytes,
                                         Adjacency adjacency = Adjacency::kMake);
// Reads the file, then as above. The error names the path and the reason.
Result<LoadedMesh> LoadMeshFromX(const std::string& path, Adjacency adjacency = Adjacency::kMake);

}  // namespace gfx
