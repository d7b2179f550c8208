#include "scene/mesh_pick_tree.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace scene {
namespace {

// Faces a leaf holds at most.
constexpr std::uint32_t kLeafFaces = 8;

struct FaceBox {
    float lo[3], hi[3], centre[3];
};

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
    float scale = 0;
    for (std::uint32_t f = 0; f < faceCount; ++f) {
        const std::uint16_t* corner = indices.data() + std::size_t{f} * 3;
        if (corner[0] >= vertexCount || corner[1] >= vertexCount || corner[2] >= vertexCount) {
            continue;  // never hit: the pick skips faces naming missing vertices
        }
        FaceBox box;
        for (int k = 0; k < 3; ++k) {
            float p[3];
            std::memcpy(p, vertices.data() + std::size_t{corner[k]} * stride, sizeof p);
            for (int a = 0; a < 3; ++a) {
                if (!std::isfinite(p[a])) return;
                box.lo[a] = k == 0 ? p[a] : std::min(box.lo[a], p[a]);
                box.hi[a] = k == 0 ? p[a] : std::max(box.hi[a], p[a]);
                scale = std::max(scale, std::fabs(p[a]));
            }
        }
        for (int a = 0; a < 3; ++a) box.centre[a] = 0.5f * (box.lo[a] + box.hi[a]);
        boxes.push_back(box);
        faces_.push_back(f);
    }
    if (faces_.empty()) return;

    // Top-down: each node splits its faces at the median centre along its box's longest axis,
    // so the depth stays near log2(faces / kLeafFaces).
    struct Pending {
        std::uint32_t node, begin, end;
    };
    std::vector<std::uint32_t> order(faces_.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    nodes_.reserve(2 * faces_.size() / kLeafFaces + 1);
    nodes_.emplace_back();
    std::vector<Pending> pending{{0, 0, static_cast<std::uint32_t>(order.size())}};
    while (!pending.empty()) {
        const Pending job = pending.back();
        pending.pop_back();
        Node node;
        for (int a = 0; a < 3; ++a) {
            node.lo[a] = boxes[order[job.begin]].lo[a];
            node.hi[a] = boxes[order[job.begin]].hi[a];
        }
        for (std::uint32_t i = job.begin + 1; i < job.end; ++i) {
            for (int a = 0; a < 3; ++a) {
                node.lo[a] = std::min(node.lo[a], boxes[order[i]].lo[a]);
                node.hi[a] = std::max(node.hi[a], boxes[order[i]].hi[a]);
            }
        }
        if (job.end - job.begin <= kLeafFaces) {
            node.first = job.begin;
            node.count = job.end - job.begin;
            nodes_[job.node] = node;
            continue;
        }
        int axis = 0;
        for (int a = 1; a < 3; ++a) {
            if (node.hi[a] - node.lo[a] > node.hi[axis] - node.lo[axis]) axis = a;
        }
        const std::uint32_t middle = job.begin + (job.end - job.begin) / 2;
        std::nth_element(order.begin() + job.begin, order.begin() + middle, order.begin() + job.end,
                         [&](std::uint32_t x, std::uint32_t y) {
                             return boxes[x].centre[axis] < boxes[y].centre[axis];
                         });
        // The two children sit side by side; the parent stores the first one's index.
        const auto firstChild = static_cast<std::uint32_t>(nodes_.size());
        nodes_.emplace_back();
        nodes_.emplace_back();
        node.first = firstChild;
        node.count = 0;
        nodes_[job.node] = node;
        pending.push_back({firstChild + 1, middle, job.end});
        pending.push_back({firstChild, job.begin, middle});
    }
    std::vector<std::uint32_t> ordered(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) ordered[i] = faces_[order[i]];
    faces_ = std::move(ordered);

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
