#include "scene/silhouette_edges.h"

#include "scene/mesh_outline.h"

namespace scene {
namespace {

// Back faces are passed over; a front face writes each of its three edges and keeps it only when
// it qualifies, without branching on the edges. A neighbour index past the faces means none.
template <typename FaceIndex>
std::size_t Collect(std::span<const std::uint8_t> front, const FaceIndex* neighbours,
                    const std::uint16_t* indices, std::uint16_t* out) {
    const std::size_t faceCount = front.size();
    const std::uint8_t* marks = front.data();
    // 2 (one line's two ends) where the face across is no front face.
    auto step = [&](std::size_t g) -> std::size_t {
        return g < faceCount && marks[g] != 0 ? 0 : 2;
    };
    std::uint16_t* const start = out;
    for (std::size_t f = 0; f < faceCount; ++f) {
        if (marks[f] == 0) continue;
        const FaceIndex* across = neighbours + f * 3;
        const std::uint16_t a = indices[f * 3], b = indices[f * 3 + 1], c = indices[f * 3 + 2];
        const std::size_t ab = step(across[0]), bc = step(across[1]), ca = step(across[2]);
        out[0] = a;
        out[1] = b;
        out += ab;
        out[0] = b;
        out[1] = c;
        out += bc;
        out[0] = c;
        out[1] = a;
        out += ca;
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
