#pragma once
// One Mesh object of a .x file as read, before validation and merging: indices are still the
// file's own and unchecked.

#include <cstdint>
#include <string_view>
#include <vector>

#include "gfx/math/math_types.h"
#include "gfx/mesh/mesh.h"

namespace gfx::xfile {

struct IndexedColour {
    std::uint32_t vertex = 0;
    Colour colour = 0;
};

struct MeshData {
    std::string_view name;  // empty for an unnamed mesh
    std::vector<Vec3> positions;
    std::vector<std::uint32_t> faceSizes;  // corners of each polygon
    std::vector<std::uint32_t> corners;    // position indices, polygons back to back

    bool hasNormals = false;
    std::vector<Vec3> normals;
    std::vector<std::uint32_t> normalFaceSizes;  // parallel to faceSizes
    std::vector<std::uint32_t> normalCorners;    // normal indices, parallel to corners

    bool hasTexCoords = false;
    std::vector<Vec2> texCoords;

    bool hasColours = false;
    std::vector<IndexedColour> colours;

    bool hasMaterialList = false;
    std::uint32_t declaredMaterials = 0;
    std::vector<ExtendedMaterial> materials;
    std::vector<std::uint32_t> faceMaterials;  // one a polygon, or a single one for all
};

}  // namespace gfx::xfile
