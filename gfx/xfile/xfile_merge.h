#pragma once
// Merges the meshes of a .x file into one triangle mesh: checks their indices, splits vertices
// whose corners carry different normals, applies the frame transform, fans polygons into
// triangles and appends materials with offset attribute ids. Meshes without normals get
// smooth, area-weighted normals made from their faces.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/base/result.h"
#include "gfx/math/math_types.h"
#include "gfx/xfile/xfile.h"
#include "gfx/xfile/xfile_mesh_data.h"

namespace gfx::xfile {

// 16-bit indices address at most this many vertices.
inline constexpr std::size_t kMaxMergedVertices = 65535;
// Bounds memory when references load one mesh many times; far above any real model.
inline constexpr std::size_t kMaxMergedTriangles = std::size_t{1} << 22;

// The grey material of a mesh that names none; the other readers give it to faces without one.
ExtendedMaterial DefaultMaterial();
// A colour component in 0 to 1 as a byte, rounded; out of range and NaN clamp.
std::uint8_t ColourByte(float value);

class MeshMerger {
  public:
    Status Add(const MeshData& mesh, const Matrix& transform);
    std::size_t MeshCount() const { return meshCount_; }
    // Builds the merged mesh; fails when no mesh or no face was added.
    Result<LoadedMesh> Finish(Adjacency adjacency = Adjacency::kMake);

  private:
    struct Vertex {
        Vec3 position;
        Vec3 normal;
        Colour diffuse = 0;
        Vec2 uv;
    };

    std::vector<Vertex> vertices_;
    std::vector<std::uint32_t> indices_;
    std::vector<std::uint32_t> attributes_;
    std::vector<ExtendedMaterial> materials_;
    bool colours_ = false, texCoords_ = false;
    std::size_t meshCount_ = 0;
};

}  // namespace gfx::xfile
