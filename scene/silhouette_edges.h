#pragma once
// The outline's lines: the edges of front faces that border a back face or no face at all.

#include <cstddef>
#include <cstdint>
#include <span>

namespace scene {

struct OutlineData;

// The silhouette edges as pairs of vertex indices, in face order and edge order within a face
// (0 = a-b, 1 = b-c, 2 = c-a), written to `out`, which must have room for six entries a face of
// `front`; gives the number of lines. `front` marks the faces turned to the camera (1) and
// `indices` holds three a face.
std::size_t CollectSilhouetteEdges(std::span<const std::uint8_t> front, const OutlineData& data,
                                   std::span<const std::uint16_t> indices, std::uint16_t* out);

}  // namespace scene
