#pragma once
// Face neighbours for the silhouette outline. Two faces are neighbours across an edge of the
// first when they share exactly that edge's two corners by vertex index (not by position: faces
// that meet at split vertices are not neighbours). Precisely, for face f with corners a, b, c
// and each face g in index order (f included), the corners of f that are among g's indices are
// marked; when exactly two are marked, g becomes f's neighbour across the edge joining them
// (a-b: 0, b-c: 1, c-a: 2), a later g replacing an earlier one. So the neighbour across an edge
// is the last face holding both of its corners but not the third corner of f.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "gfx/math/math_types.h"
#include "gfx/mesh/mesh.h"

namespace scene {

// Marks "no neighbour" across an edge. Face indices are 32-bit and a mesh may hold more than
// 65535 faces, so the marker lies outside every real index.
inline constexpr std::uint32_t kNoFace = 0xFFFFFFFF;

// Three entries a face (edge 0, 1, 2), kNoFace where no face qualifies.
using FaceNeighbours = std::vector<std::uint32_t>;

// The rule above applied literally, comparing every face with every face: O(faces^2). Kept as
// the reference the fast version is checked and measured against.
FaceNeighbours FindFaceNeighboursAllPairs(std::span<const std::uint16_t> indices);

// The same result in time linear in the number of faces (expected, by hashing edges).
FaceNeighbours FindFaceNeighbours(std::span<const std::uint16_t> indices);

// What the outline of one mesh needs besides the mesh: the faces' neighbours and the positions,
// packed for the per-frame pass.
struct OutlineData {
    // Three a face (across edge 0 = a-b, 1 = b-c, 2 = c-a), kNoFace where none; 16-bit, in half
    // the bytes, where every face index and kNoFace fit (fewer than 65535 faces; kNoFace becomes
    // 0xFFFF). A mesh fills one of the two, the other stays empty.
    std::vector<std::uint32_t> neighbours;
    std::vector<std::uint16_t> neighbours16;
    std::vector<float> x, y, z;  // vertex positions, one array a component
    // For the facing test (scene/face_facing.h): a sphere round every vertex, and per face the
    // unit normal and offset of its plane relative to that centre, n . (p - centre) = d, in 16
    // bits (half the bytes to read every frame): the normal times kPlaneUnit and the offset
    // times kPlaneUnit / radius, rounded. A face with a corner past the vertex data, or too thin
    // for the plane to decide its winding safely (its height under 2^-10 of the radius), has all
    // four zero and is always projected instead.
    static constexpr float kPlaneUnit = 32767.0f;
    gfx::Vec3 centre{};
    float radius = 0;
    float thinnest = 0;  // the least height among faces with a plane
    std::vector<std::int16_t> planeX, planeY, planeZ, planeD;
};

// A plane's component in its 16 bits: times kPlaneUnit, rounded half away from zero, held to
// +-32767; NaN (a mesh reaching both infinities has no centre) is 0.
std::int16_t PlaneFixed(double unitValue);

// Built from the mesh's index and vertex data; positions are read by its vertex stride, and an
// index past the vertex data reads as the origin.
std::shared_ptr<const OutlineData> MakeOutlineData(const gfx::Mesh& mesh);

}  // namespace scene
