#pragma once
// Face neighbours for the silhouette outline. Two faces are neighbours across an edge of the
// first when they share exactly that edge's two corners by vertex index (not by position: faces
// that meet at split vertices are not neighbours). Precisely, for face f with corners a, b, c
// and each face g in index order (f included), the corners of f that are among g's indices are
// marked; when exactly two are marked, g becomes f's neighbour across the edge joining them
// (a-b: 0, b-c: 1, c-a: 2), a later g replacing an earlier one. So the neighbour across an edge
// is the last face holding both of its corners but not the third corner of f.

#include <cstdint>
#include <span>
#include <vector>

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

}  // namespace scene
