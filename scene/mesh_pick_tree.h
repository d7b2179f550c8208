#pragma once
// A bounding-volume tree over a mesh's faces, built once when the mesh loads, so that a pick
// tests only the faces whose boxes the pointer's line crosses instead of every face.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "gfx/math/math_types.h"
#include "gfx/mesh/mesh.h"

namespace scene {

class MeshPickTree {
  public:
    MeshPickTree() = default;
    // Over every face whose three indices name vertices. Stays empty (unusable) for a mesh with
    // no such face or with any vertex position that is not finite; callers then test every face.
    explicit MeshPickTree(const gfx::Mesh& mesh);

    // True when the tree was built for a mesh with these counts (the owner makes sure it is the
    // same mesh).
    bool Covers(const gfx::Mesh& mesh) const;

    // Calls visit(face) for every face whose (slightly widened) leaf box the infinite line
    // o + t * d crosses, in no particular order. The widening keeps every face the ray/triangle
    // test could accept; the caller orders the hits itself.
    template <typename Visit>
    void ForEachCandidate(gfx::Vec3 o, gfx::Vec3 d, Visit visit) const;

  private:
    struct Node {
        float lo[3], hi[3];
        std::uint32_t first = 0;  // leaf: first entry in faces_; inner: the first child (the
                                  // second follows it)
        std::uint32_t count = 0;  // faces in a leaf, 0 for an inner node (first child follows)
    };

    bool LineCrosses(const Node& node, const double o[3], const double d[3], double pad) const;

    std::vector<Node> nodes_;
    std::vector<std::uint32_t> faces_;
    float scale_ = 0;  // largest coordinate or extent, for the widening
    std::uint32_t vertexCount_ = 0, faceCount_ = 0;
};

template <typename Visit>
void MeshPickTree::ForEachCandidate(gfx::Vec3 o, gfx::Vec3 d, Visit visit) const {
    if (nodes_.empty()) return;
    const double origin[3] = {o.x, o.y, o.z}, direction[3] = {d.x, d.y, d.z};
    // Float rounding in the triangle test grows with the coordinates' size: widen by a share of
    // the largest coordinate in play.
    double reach = scale_;
    for (const double v : origin) reach = std::max(reach, std::fabs(v));
    const double pad = 1e-4 * reach;
    std::uint32_t stack[64];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const Node& node = nodes_[stack[--top]];
        if (!LineCrosses(node, origin, direction, pad)) continue;
        if (node.count > 0) {
            for (std::uint32_t i = 0; i < node.count; ++i) visit(faces_[node.first + i]);
            continue;
        }
        stack[top++] = node.first;
        stack[top++] = node.first + 1;
    }
}

}  // namespace scene
