// Scale, orientation, position, drawing and the world-space queries of a transform node.

#include "scene/transform_node.h"

#include "gfx/math/math.h"
#include "scene/mesh_object.h"

namespace scene {
namespace {

// S(f) * m: the axis rows multiplied by f, the position row unchanged.
gfx::Matrix ScaleAxes(const gfx::Matrix& m, float f) {
    return gfx::MatrixMultiply(gfx::MatrixScaling(f, f, f), m);
}

gfx::Vec3 Row(const gfx::Matrix& m, int row) {
    return {m.m[row][0], m.m[row][1], m.m[row][2]};
}

void SetRow(gfx::Matrix& m, int row, gfx::Vec3 v) {
    m.m[row][0] = v.x;
    m.m[row][1] = v.y;
    m.m[row][2] = v.z;
}

}  // namespace

void TransformNode::Bind(MeshObject& meshObject, gfx::Vec3 position, float nodeScale) {
    local = gfx::MatrixScaling(nodeScale, nodeScale, nodeScale);
    SetRow(local, 3, position);
    scale = nodeScale;
    mesh = &meshObject;
    bound = 1;
}

void TransformNode::Draw(framework::GraphicsDevice& device, bool outline,
                         gfx::Colour outlineColour) const {
    if (mesh != nullptr && bound == 1) mesh->Draw(device, WorldMatrix(), outline, outlineColour);
}

void TransformNode::SetScale(float newScale) {
    saved = local;
    const float f = newScale / scale;
    scratch = gfx::MatrixScaling(f, f, f);
    local = ScaleAxes(saved, f);
    scale = newScale;
}

void TransformNode::ReapplyScale() {
    const float k = scale;
    scale = 1.0f;
    SetScale(k);
}

gfx::Quat TransformNode::GetOrientation() const {
    // The same arithmetic as SetScale(1) on a copy, so `local` itself is never rescaled.
    return gfx::QuaternionRotationMatrix(ScaleAxes(local, 1.0f / scale));
}

void TransformNode::SetOrientation(gfx::Quat q) {
    saved = local;
    local = gfx::MatrixRotationQuaternion(q);
    SetRow(local, 3, Row(saved, 3));
    local.m[3][3] = 1.0f;
    ReapplyScale();
}

gfx::Vec3 TransformNode::GetPosition() const {
    const gfx::Vec3 p = Row(local, 3);
    return parent != nullptr ? p * parent->CombinedScale() : p;
}

void TransformNode::SetPosition(gfx::Vec3 p) {
    if (parent != nullptr) p = p * (1.0f / parent->CombinedScale());
    SetRow(local, 3, p);
}

void TransformNode::SetLocalPosition(gfx::Vec3 p) {
    SetRow(local, 3, p);
}

float TransformNode::CombinedScale() const {
    return parent != nullptr ? parent->CombinedScale() * scale : scale;
}

gfx::Matrix TransformNode::WorldMatrix() const {
    return parent != nullptr ? gfx::MatrixMultiply(local, parent->WorldMatrix()) : local;
}

gfx::Vec3 TransformNode::WorldPosition() const {
    return Row(WorldMatrix(), 3);
}

gfx::Vec3 TransformNode::WorldAxisX() const {
    return Row(WorldMatrix(), 0);
}

gfx::Vec3 TransformNode::WorldAxisY() const {
    return Row(WorldMatrix(), 1);
}

gfx::Vec3 TransformNode::WorldAxisZ() const {
    return Row(WorldMatrix(), 2);
}

void TransformNode::SetWorldPosition(gfx::Vec3 p) {
    if (parent == nullptr) {
        SetRow(local, 3, p);
        return;
    }
    const float k = parent->CombinedScale();
    const gfx::Vec3 d = p - WorldPosition();
    const gfx::Vec3 n = gfx::Vec3Normalize(d);
    // The direction in the parent's frame: dot products with the parent's world axes.
    const gfx::Vec3 e = gfx::Vec3Normalize({gfx::Vec3Dot(n, parent->WorldAxisX()),
                                            gfx::Vec3Dot(n, parent->WorldAxisY()),
                                            gfx::Vec3Dot(n, parent->WorldAxisZ())});
    SetRow(local, 3, Row(local, 3) + e * (gfx::Vec3Length(d) / k));
}

Sphere TransformNode::BoundingSphere() const {
    if (mesh == nullptr) return {WorldPosition(), 0.0f};
    return {WorldPosition() + mesh->sphereCentre, scale * mesh->sphereRadius};
}

}  // namespace scene
