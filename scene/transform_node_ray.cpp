// Ray picking against the mesh bound to a transform node.

#include <cmath>
#include <cstddef>
#include <cstring>

#include "gfx/math/math.h"
#include "gfx/mesh/mesh.h"
#include "scene/mesh_object.h"
#include "scene/mesh_pick_tree.h"
#include "scene/ray_triangle.h"
#include "scene/transform_node.h"

namespace scene {
namespace {

// Bytes of the position at the start of every vertex.
constexpr std::uint32_t kPositionBytes = 3 * sizeof(float);

gfx::Vec3 VertexPosition(const std::byte* vertices, std::uint32_t stride, std::uint16_t index) {
    float xyz[3];
    std::memcpy(xyz, vertices + std::size_t{index} * stride, sizeof xyz);
    return {xyz[0], xyz[1], xyz[2]};
}

bool IsFinite(gfx::Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

bool TransformNode::RayHit(gfx::Vec3 origin, gfx::Vec3 direction, gfx::Vec3& hitPoint,
                           std::array<gfx::Vec3, 3>* triangle) const {
    if (mesh == nullptr || mesh->d3dMesh == nullptr) return false;
    const gfx::Mesh& shape = *mesh->d3dMesh;

    const gfx::Matrix world = WorldMatrix();
    const gfx::Vec3 position{world.m[3][0], world.m[3][1], world.m[3][2]};
    const std::optional<gfx::Matrix> inverse = gfx::MatrixInverse(world);
    if (!inverse) {
        // Only a zero scale makes the world matrix singular; such a node has no extent to hit.
        hitPoint = {};
        return false;
    }
    // The ray in mesh space. The direction keeps the length the inverse gives it.
    const gfx::Vec3 o =
        gfx::Vec3TransformNormal(origin, *inverse) - gfx::Vec3TransformNormal(position, *inverse);
    const gfx::Vec3 d = gfx::Vec3TransformNormal(direction, *inverse);

    const std::uint32_t stride = shape.BytesPerVertex();
    const std::uint32_t vertexCount = shape.NumVertices();
    // A format without a position has nothing to hit.
    const std::uint32_t faceCount = stride >= kPositionBytes ? shape.NumFaces() : 0;
    const std::byte* vertices = shape.LockVertexBuffer();
    const std::uint16_t* indices = shape.LockIndexBuffer();

    // Hits count only when nearer than this mesh-space point. Of faces hit at the same distance
    // the lowest index wins, as if the faces were tried in index order with a strict test.
    gfx::Vec3 best{1000.0f, 1000.0f, 1000.0f};
    float bestDistance = gfx::Vec3Length(best - o);
    std::uint32_t bestFace = 0;
    std::uint32_t count = 0;
    auto tryFace = [&](std::uint32_t face) {
        const std::uint16_t* corners = indices + std::size_t{face} * 3;
        if (corners[0] >= vertexCount || corners[1] >= vertexCount || corners[2] >= vertexCount) {
            return;  // a broken face must not read past the vertices
        }
        const gfx::Vec3 a = VertexPosition(vertices, stride, corners[0]);
        const gfx::Vec3 b = VertexPosition(vertices, stride, corners[1]);
        const gfx::Vec3 c = VertexPosition(vertices, stride, corners[2]);
        const std::optional<RayTriangleHit> hit = RayTriangleTest(o, d, a, b, c);
        if (!hit) return;
        const gfx::Vec3 h = a + (b - a) * hit->u + (c - a) * hit->v;
        if (gfx::Vec3Dot(h - o, d) < 0.0f) return;  // behind the origin
        const float distance = gfx::Vec3Length(h - o);
        const bool nearer = distance < bestDistance;
        if (!nearer && !(count > 0 && distance == bestDistance && face < bestFace)) return;
        best = h;
        bestDistance = distance;
        bestFace = face;
        if (triangle != nullptr) *triangle = {a, b, c};
        ++count;
    };

    const MeshPickTree* tree = mesh->PickTree();
    if (faceCount > 0 && tree != nullptr && IsFinite(o) && IsFinite(d)) {
        tree->ForEachCandidate(o, d, tryFace);
    } else {
        for (std::uint32_t face = 0; face < faceCount; ++face) tryFace(face);
    }

    shape.UnlockIndexBuffer();
    shape.UnlockVertexBuffer();

    if (count == 0) {
        hitPoint = {};
        return false;
    }
    hitPoint = gfx::Vec3TransformNormal(best, world) + position;
    return true;
}

}  // namespace scene
