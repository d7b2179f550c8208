// Turns and aiming of a transform node.

#include <cmath>

#include "gfx/math/math.h"
#include "scene/transform_node.h"

namespace scene {
namespace {

// Unit vector along v however short it is; (0, 0, 0) only for the zero vector.
gfx::Vec3 NormalizeAnyLength(const gfx::Vec3& v) {
    const float lengthSq = gfx::Vec3LengthSq(v);
    if (lengthSq == 0.0f) return {};
    return v * (1.0f / std::sqrt(lengthSq));
}

}  // namespace

void TransformNode::ApplyLocal(const gfx::Matrix& pre) {
    saved = local;
    scratch = pre;
    local = gfx::MatrixMultiply(pre, saved);
}

void TransformNode::TurnLocalX(float angle) {
    ApplyLocal(gfx::MatrixRotationX(angle));
}

void TransformNode::TurnLocalY(float angle) {
    ApplyLocal(gfx::MatrixRotationY(angle));
}

void TransformNode::TurnLocalZ(float angle) {
    ApplyLocal(gfx::MatrixRotationZ(angle));
}

void TransformNode::TurnLocalAxis(gfx::Vec3 axis, float angle) {
    ApplyLocal(gfx::MatrixRotationAxis(axis, angle));
}

void TransformNode::TurnParentY(float angle) {
    saved = local;
    scratch = gfx::MatrixRotationY(angle);
    // Rotating on the parent's side turns the position row too.
    local = gfx::MatrixMultiply(saved, scratch);
}

void TransformNode::SetDirection(gfx::Vec3 forward, gfx::Vec3 up) {
    const gfx::Vec3 f = gfx::Vec3Normalize(forward);
    // Looking straight up or down with up = +Y leaves no sideways axis: tilt up a little towards
    // the side the node's Y axis should end up on.
    bool tilted = false;
    if (up.x == 0.0f && up.z == 0.0f && up.y > 0.999999f && f.x == 0.0f && f.z == 0.0f) {
        if (f.y > 0.999999f) {
            up = {0.0f, 1.0f, -1e-6f};
            tilted = true;
        } else if (f.y < -0.999999f) {
            up = {0.0f, 1.0f, 1e-6f};
            tilted = true;
        }
    }
    // The tilt leaves a sideways vector of length 1e-6, which the usual normalise would treat
    // as zero and so wipe out the X and Y axes; in that case normalise it whatever its length.
    const auto normalize = tilted ? NormalizeAnyLength : gfx::Vec3Normalize;
    const gfx::Vec3 right = normalize(gfx::Vec3Cross(up, f));
    const gfx::Vec3 newUp = normalize(gfx::Vec3Cross(f, right));
    const gfx::Vec3 axes[3] = {right, newUp, f};
    for (int row = 0; row < 3; ++row) {
        local.m[row][0] = axes[row].x;
        local.m[row][1] = axes[row].y;
        local.m[row][2] = axes[row].z;
    }
    local.m[3][3] = 1.0f;
    ReapplyScale();
}

void TransformNode::TurnToward(gfx::Vec3 target) {
    const gfx::Vec3 p = WorldPosition();
    const float dz = p.z - target.z;
    const float dx = p.x - target.x;
    if (std::sqrt(dz * dz + dx * dx) < 0.0001f) return;
    gfx::Vec3 d = target - p;
    if (parent != nullptr) {
        // Into the parent's frame; the parent axes' common length is normalised away later.
        d = {gfx::Vec3Dot(d, parent->WorldAxisX()), gfx::Vec3Dot(d, parent->WorldAxisY()),
             gfx::Vec3Dot(d, parent->WorldAxisZ())};
    }
    SetDirection(d, {0.0f, 1.0f, 0.0f});
}

}  // namespace scene
