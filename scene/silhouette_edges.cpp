#include "scene/silhouette_edges.h"

#include "scene/mesh_outline.h"

namespace scene {
namespace {

// Back faces are passed over; a front face writes each of its edges and keeps it only when it
// qualifies, without branching on the edges. A neighbour index past the faces means none.
template <typename FaceIndex>
std::size_t Collect(std::span<const std::uint8_t> front, const FaceIndex* neighbours,
                    const std::uint16_t* indices, std::uint16_t* out) {
    const std::size_t faceCount = front.size();
    std::uint16_t* const start = out;
    for (std::size_t f = 0; f < faceCount; ++f) {
        const FaceIndex* across = neighbours + f * 3;
        const std::uint16_t* corner = indices + f * 3;
        if (front[f] == 0) continue;
        for (unsigned k = 0; k < 3; ++k) {
            const std::size_t g = across[k];
            const unsigned backed = g < faceCount && front[g] != 0 ? 1u : 0u;
            out[0] = corner[k];
            out[1] = corner[k == 2 ? 0 : k + 1];
            out += 2 * (backed ^ 1u);
        }
    }
    return static_cast<std::size_t>(out - start) / 2;
}

}  // namespace

std::size_t CollectSilhouetteEdges(std::span<const std::uint8_t> front, const OutlineData& data,
                                   std::span<const std::uint16_t> indices, std::uint16_t* out) {
    const std::size_t faces = front.size();
    if (indices.size() < faces * 3) return 0;
    if (data.neighbours16.size() == faces * 3) {
        return Collect(front, data.neighbours16.data(), indices.data(), out);
    }
    if (data.neighbours.size() == faces * 3) {
        return Collect(front, data.neighbours.data(), indices.data(), out);
    }
    return 0;
}

}  // namespace scene
