#include "scene/mesh_pick_tree.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace scene {
namespace {

// Faces a leaf holds at most.
constexpr std::uint32_t kLeafFaces = 8;
// Bits of each coordinate in a face's place along the Z-order curve.
constexpr int kPlaceBits = 10;

struct FaceBox {
    float lo[3], hi[3];
};

// The bits of `v` (kPlaceBits of them) spread to every third bit.
std::uint32_t Spread(std::uint32_t v) {
    v = (v | (v << 16)) & 0x030000FF;
    v = (v | (v << 8)) & 0x0300F00F;
    v = (v | (v << 4)) & 0x030C30C3;
    v = (v | (v << 2)) & 0x09249249;
    return v;
}

// Sorts (place << 32 | item) keys by place, stably, in three passes of 11 bits.
void SortByPlace(std::vector<std::uint64_t>& keys) {
    std::vector<std::uint64_t> spare(keys.size());
    for (int shift = 32; shift < 65; shift += 11) {
        std::uint32_t start[2049] = {};
        for (const std::uint64_t key : keys) ++start[((key >> shift) & 0x7FF) + 1];
        for (int d = 1; d < 2049; ++d) start[d] += start[d - 1];
        for (const std::uint64_t key : keys) spare[start[(key >> shift) & 0x7FF]++] = key;
        keys.swap(spare);
    }
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

    std::vector<FaceBox> boxes;
    boxes.reserve(faceCount);
    faces_.reserve(faceCount);
    float scale = 0;
    float centreLo[3] = {HUGE_VALF, HUGE_VALF, HUGE_VALF};
    float centreHi[3] = {-HUGE_VALF, -HUGE_VALF, -HUGE_VALF};
    for (std::uint32_t f = 0; f < faceCount; ++f) {
        const std::uint16_t* corner = indices.data() + std::size_t{f} * 3;
        if (corner[0] >= vertexCount || corner[1] >= vertexCount || corner[2] >= vertexCount) {
            continue;  // never hit: the pick skips faces naming missing vertices
        }
        float p[3][3];
        for (int k = 0; k < 3; ++k) {
            std::memcpy(p[k], vertices.data() + std::size_t{corner[k]} * stride, sizeof p[k]);
        }
        // x - x is 0 for every finite x and NaN otherwise.
        float finite = 0;
        for (int k = 0; k < 3; ++k) {
            for (int a = 0; a < 3; ++a) finite += p[k][a] - p[k][a];
        }
        if (finite != 0) {
            faces_.clear();
            return;
        }
        // Filled in place: a box built on the stack and copied would be read back in wider words
        // than it was written, which stalls.
        FaceBox& box = boxes.emplace_back();
        for (int a = 0; a < 3; ++a) {
            box.lo[a] = std::min(std::min(p[0][a], p[1][a]), p[2][a]);
            box.hi[a] = std::max(std::max(p[0][a], p[1][a]), p[2][a]);
            scale = std::max(scale, std::max(std::fabs(box.lo[a]), std::fabs(box.hi[a])));
            const float centre = 0.5f * (box.lo[a] + box.hi[a]);
            centreLo[a] = std::min(centreLo[a], centre);
            centreHi[a] = std::max(centreHi[a], centre);
        }
        faces_.push_back(f);
    }
    if (faces_.empty()) return;

    // The faces in the order of their centres along a Z-order curve through the centres' box:
    // faces near each other in space lie near each other in the order.
    const auto count = static_cast<std::uint32_t>(faces_.size());
    float toPlace[3];
    for (int a = 0; a < 3; ++a) {
        const float extent = centreHi[a] - centreLo[a];
        toPlace[a] = extent > 0 ? static_cast<float>((1 << kPlaceBits) - 1) / extent : 0.0f;
    }
    std::vector<std::uint64_t> keys(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t place = 0;
        for (int a = 0; a < 3; ++a) {
            const float centre = 0.5f * (boxes[i].lo[a] + boxes[i].hi[a]);
            float cell = (centre - centreLo[a]) * toPlace[a];
            if (!(cell > 0)) cell = 0;  // NaN as well, where a centre overflowed
            cell = std::min(cell, static_cast<float>((1 << kPlaceBits) - 1));
            place |= Spread(static_cast<std::uint32_t>(cell)) << a;
        }
        keys[i] = (std::uint64_t{place} << 32) | i;
    }
    SortByPlace(keys);
    auto placeAt = [&](std::uint32_t i) { return static_cast<std::uint32_t>(keys[i] >> 32); };

    // Top-down: a run of faces splits where the highest bit in which its first and last places
    // differ turns to 1 (a plane across the run's cell), or in the middle when every place is
    // the same. Each such split drops a bit, so the depth stays under 3 * kPlaceBits plus the
    // halvings.
    struct Pending {
        std::uint32_t node, begin, end;
    };
    nodes_.reserve(2 * count / kLeafFaces + 1);
    nodes_.emplace_back();
    std::vector<Pending> pending{{0, 0, count}};
    while (!pending.empty()) {
        const Pending job = pending.back();
        pending.pop_back();
        Node& node = nodes_[job.node];
        if (job.end - job.begin <= kLeafFaces) {
            node.first = job.begin;
            node.count = job.end - job.begin;
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
        node.first = firstChild;
        node.count = 0;
        nodes_.emplace_back();
        nodes_.emplace_back();
        pending.push_back({firstChild + 1, split, job.end});
        pending.push_back({firstChild, job.begin, split});
    }

    // Boxes from the leaves up: children always come after their parent.
    for (std::size_t n = nodes_.size(); n-- > 0;) {
        Node& node = nodes_[n];
        if (node.count > 0) {
            const FaceBox& box = boxes[keys[node.first] & 0xFFFFFFFF];
            std::copy_n(box.lo, 3, node.lo);
            std::copy_n(box.hi, 3, node.hi);
            for (std::uint32_t i = node.first + 1; i < node.first + node.count; ++i) {
                const FaceBox& other = boxes[keys[i] & 0xFFFFFFFF];
                for (int a = 0; a < 3; ++a) {
                    node.lo[a] = std::min(node.lo[a], other.lo[a]);
                    node.hi[a] = std::max(node.hi[a], other.hi[a]);
                }
            }
            continue;
        }
        const Node &left = nodes_[node.first], &right = nodes_[node.first + 1];
        for (int a = 0; a < 3; ++a) {
            node.lo[a] = std::min(left.lo[a], right.lo[a]);
            node.hi[a] = std::max(left.hi[a], right.hi[a]);
        }
    }
    std::vector<std::uint32_t> ordered(count);
    for (std::uint32_t i = 0; i < count; ++i) ordered[i] = faces_[keys[i] & 0xFFFFFFFF];
    faces_ = std::move(ordered);
    nodes_.shrink_to_fit();

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
