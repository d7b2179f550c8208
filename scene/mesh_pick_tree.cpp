#include "scene/mesh_pick_tree.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace scene {
namespace {

// Faces a leaf holds at most: that many faces that follow each other in the mesh.
constexpr std::uint32_t kLeafFaces = 8;
// Bits of each coordinate in a leaf's place along the Z-order curve.
constexpr int kPlaceBits = 10;

// The bits of `v` (kPlaceBits of them) spread to every third bit.
std::uint32_t Spread(std::uint32_t v) {
    v = (v | (v << 16)) & 0x030000FF;
    v = (v | (v << 8)) & 0x0300F00F;
    v = (v | (v << 4)) & 0x030C30C3;
    v = (v | (v << 2)) & 0x09249249;
    return v;
}

// The lesser and the greater of two floats, by value: they compile to one instruction each,
// where std::min and std::max, passing references, branch (and mispredict on coordinates in no
// order).
float Least(float a, float b) {
    return b < a ? b : a;
}
float Most(float a, float b) {
    return a < b ? b : a;
}

}  // namespace

MeshPickTree::MeshPickTree(const gfx::Mesh& mesh) {
    const std::uint32_t stride = mesh.BytesPerVertex();
    const std::uint32_t vertexCount = mesh.NumVertices();
    const std::span<const std::byte> vertices = mesh.Vertices();
    const std::span<const std::uint16_t> indices = mesh.Indices();
    if (stride < 3 * sizeof(float) || vertices.size() < std::size_t{vertexCount} * stride) return;
    const std::uint32_t faceCount =
        std::min<std::uint32_t>(mesh.NumFaces(), static_cast<std::uint32_t>(indices.size() / 3));

    // A position that is not finite would make every box round it useless: such a mesh gets no
    // tree. Tested on the bits (every exponent bit set), so the test is one OR a coordinate.
    std::uint32_t notFinite = 0;
    for (std::uint32_t v = 0; v < vertexCount; ++v) {
        std::uint32_t bits[3];
        std::memcpy(bits, vertices.data() + std::size_t{v} * stride, sizeof bits);
        for (const std::uint32_t b : bits) notFinite |= (b & 0x7F800000u) == 0x7F800000u;
    }
    if (notFinite != 0) return;

    // Leaves of kLeafFaces faces that follow each other in the mesh: the optimiser orders faces
    // for the vertex cache, round shared vertices, so such runs lie close together in space and
    // their boxes are nearly as tight as those of faces grouped by place, at a fraction of the
    // cost of placing and sorting every face.
    std::vector<Node> leaves;
    leaves.reserve(faceCount / kLeafFaces + 1);
    faces_.reserve(faceCount);
    Node leaf;
    for (std::uint32_t f = 0; f < faceCount; ++f) {
        const std::uint16_t* corner = indices.data() + std::size_t{f} * 3;
        if (corner[0] >= vertexCount || corner[1] >= vertexCount || corner[2] >= vertexCount) {
            continue;  // never hit: the pick skips faces naming missing vertices
        }
        float p[3][3];
        for (int k = 0; k < 3; ++k) {
            std::memcpy(p[k], vertices.data() + std::size_t{corner[k]} * stride, sizeof p[k]);
        }
        if (leaf.count == 0) {
            leaf.first = static_cast<std::uint32_t>(faces_.size());
            std::copy_n(p[0], 3, leaf.lo);
            std::copy_n(p[0], 3, leaf.hi);
        }
        faces_.push_back(f);
        for (int a = 0; a < 3; ++a) {
            leaf.lo[a] = Least(leaf.lo[a], Least(Least(p[0][a], p[1][a]), p[2][a]));
            leaf.hi[a] = Most(leaf.hi[a], Most(Most(p[0][a], p[1][a]), p[2][a]));
        }
        if (++leaf.count == kLeafFaces) {
            leaves.push_back(leaf);
            leaf.count = 0;
        }
    }
    if (leaf.count > 0) leaves.push_back(leaf);
    if (faces_.empty()) return;

    // The leaves in the order of their centres along a Z-order curve through the centres' box:
    // leaves near each other in space lie near each other in the order.
    const auto count = static_cast<std::uint32_t>(leaves.size());
    float scale = 0;
    float centreLo[3] = {HUGE_VALF, HUGE_VALF, HUGE_VALF};
    float centreHi[3] = {-HUGE_VALF, -HUGE_VALF, -HUGE_VALF};
    for (const Node& each : leaves) {
        for (int a = 0; a < 3; ++a) {
            scale = std::max(scale, std::max(std::fabs(each.lo[a]), std::fabs(each.hi[a])));
            const float centre = 0.5f * (each.lo[a] + each.hi[a]);
            centreLo[a] = std::min(centreLo[a], centre);
            centreHi[a] = std::max(centreHi[a], centre);
        }
    }
    float toPlace[3];
    for (int a = 0; a < 3; ++a) {
        const float extent = centreHi[a] - centreLo[a];
        toPlace[a] = extent > 0 ? static_cast<float>((1 << kPlaceBits) - 1) / extent : 0.0f;
    }
    std::vector<std::uint64_t> keys(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t place = 0;
        for (int a = 0; a < 3; ++a) {
            const float centre = 0.5f * (leaves[i].lo[a] + leaves[i].hi[a]);
            float cell = (centre - centreLo[a]) * toPlace[a];
            if (!(cell > 0)) cell = 0;  // NaN as well, where a centre overflowed
            cell = std::min(cell, static_cast<float>((1 << kPlaceBits) - 1));
            place |= Spread(static_cast<std::uint32_t>(cell)) << a;
        }
        keys[i] = (std::uint64_t{place} << 32) | i;
    }
    std::sort(keys.begin(), keys.end());  // the leaf index breaks ties
    auto placeAt = [&](std::uint32_t i) { return static_cast<std::uint32_t>(keys[i] >> 32); };

    // Top-down: a run of leaves splits where the highest bit in which its first and last places
    // differ turns to 1 (a plane across the run's cell), or in the middle when every place is
    // the same. Each such split drops a bit, so the depth stays under 3 * kPlaceBits plus the
    // halvings.
    struct Pending {
        std::uint32_t node, begin, end;
    };
    nodes_.reserve(2 * std::size_t{count} - 1);
    nodes_.emplace_back();
    std::vector<Pending> pending{{0, 0, count}};
    while (!pending.empty()) {
        const Pending job = pending.back();
        pending.pop_back();
        if (job.end - job.begin == 1) {
            nodes_[job.node] = leaves[keys[job.begin] & 0xFFFFFFFF];
            continue;
        }
        const std::uint32_t first = placeAt(job.begin), last = placeAt(job.end - 1);
        std::uint32_t split = job.begin + (job.end - job.begin) / 2;
        if (first != last) {
            const std::uint32_t bit = std::uint32_t{1} << (31 - std::countl_zero(first ^ last));
            std::uint32_t lo = job.begin, hi = job.end - 1;  // placeAt(hi) has the bit
            while (lo < hi) {
                const std::uint32_t mid = lo + (hi - lo) / 2;
                if (placeAt(mid) & bit) {
                    hi = mid;
                } else {
                    lo = mid + 1;
                }
            }
            split = lo;
        }
        // The two children sit side by side; the parent stores the first one's index.
        const auto firstChild = static_cast<std::uint32_t>(nodes_.size());
        nodes_[job.node].first = firstChild;
        nodes_[job.node].count = 0;
        nodes_.emplace_back();
        nodes_.emplace_back();
        pending.push_back({firstChild + 1, split, job.end});
        pending.push_back({firstChild, job.begin, split});
    }

    // Inner boxes from the leaves up: children always come after their parent.
    for (std::size_t n = nodes_.size(); n-- > 0;) {
        Node& node = nodes_[n];
        if (node.count > 0) continue;
        const Node &left = nodes_[node.first], &right = nodes_[node.first + 1];
        for (int a = 0; a < 3; ++a) {
            node.lo[a] = std::min(left.lo[a], right.lo[a]);
            node.hi[a] = std::max(left.hi[a], right.hi[a]);
        }
    }

    for (int a = 0; a < 3; ++a) scale = std::max(scale, nodes_[0].hi[a] - nodes_[0].lo[a]);
    scale_ = scale;
    vertexCount_ = vertexCount;
    faceCount_ = mesh.NumFaces();
}

bool MeshPickTree::Covers(const gfx::Mesh& mesh) const {
    return !nodes_.empty() && mesh.NumVertices() == vertexCount_ && mesh.NumFaces() == faceCount_;
}

bool MeshPickTree::LineCrosses(const Node& node, const double o[3], const double d[3],
                               double pad) const {
    double enter = -HUGE_VAL, leave = HUGE_VAL;
    for (int a = 0; a < 3; ++a) {
        const double lo = node.lo[a] - pad, hi = node.hi[a] + pad;
        if (d[a] == 0.0) {
            if (o[a] < lo || o[a] > hi) return false;
            continue;
        }
        double t0 = (lo - o[a]) / d[a], t1 = (hi - o[a]) / d[a];
        if (t0 > t1) std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave) return false;
    }
    return true;
}

}  // namespace scene
