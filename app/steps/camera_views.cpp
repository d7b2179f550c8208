#include "app/steps/camera_views.h"

#include <algorithm>
#include <cmath>

#include "app/steps/view_geometry.h"
#include "gfx/math/math.h"
#include "scene/draw_primitives.h"
#include "scene/mesh_object.h"

namespace app {
namespace {

// The eye stays this far beyond a framed sphere's surface at least, clear of the projection's
// near plane (0.1), so that a tiny part is shown whole rather than cut.
constexpr float kNearClearance = 0.2f;
// An eye standing on the orbit centre looks at it from this far.
constexpr float kShortestSideDistance = 0.2f;

bool Finite(gfx::Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The smallest sphere around both (exact for two spheres).
scene::Sphere Enclose(const scene::Sphere& a, const scene::Sphere& b) {
    const float apart = gfx::Vec3Length(b.centre - a.centre);
    if (apart + b.radius <= a.radius) return a;
    if (apart + a.radius <= b.radius) return b;
    const float radius = 0.5f * (apart + a.radius + b.radius);
    return {a.centre + (b.centre - a.centre) * ((radius - a.radius) / apart), radius};
}

std::optional<scene::Sphere> PartSphere(const scene::TransformNode& node) {
    const scene::MeshObject* mesh = node.mesh;
    if (mesh == nullptr || !mesh->IsLoaded()) return std::nullopt;
    const scene::Sphere sphere{gfx::Vec3TransformCoord(mesh->sphereCentre, node.WorldMatrix()),
                               std::fabs(node.CombinedScale()) * mesh->sphereRadius};
    if (!Finite(sphere.centre) || !std::isfinite(sphere.radius)) return std::nullopt;
    return sphere;
}

// tan of the angle from the view's axis to its nearer edge (top or side).
float NarrowerHalfViewTangent(const gfx::Matrix& projection) {
    const float across = projection.m[0][0];
    const float up = projection.m[1][1];
    // A projection never set (or broken) counts as the editor's own at 4:3.
    if (!(across > 0.0f) || !(up > 0.0f) || !std::isfinite(across) || !std::isfinite(up)) {
        return std::tan(std::acos(-1.0f) / 8.0f);
    }
    return std::min(1.0f / across, 1.0f / up);
}

}  // namespace

std::optional<scene::Sphere> FramedSphere(const Session& session) {
    const int count = std::clamp<int>(session.model.parts.count, 0, model::kMaxParts);
    const model::PartIndex selected = session.editor.SelectedPart;
    const auto& nodes = session.model.scene.node;
    if (selected >= 0 && selected < count) {
        return PartSphere(nodes[static_cast<std::size_t>(selected)]);
    }
    std::optional<scene::Sphere> all;
    for (int i = 0; i < count; ++i) {
        if (!session.panels.IsPartVisible(i)) continue;
        const std::optional<scene::Sphere> part = PartSphere(nodes[static_cast<std::size_t>(i)]);
        if (part) all = all ? Enclose(*all, *part) : *part;
    }
    return all;
}

void FrameSphere(EditorState& state, scene::Sphere sphere) {
    const CameraFrame camera = CameraFromView(state.Camera.ViewMatrix);
    const gfx::Vec3 forward = gfx::Vec3Normalize(camera.forward);
    // The sphere's silhouette seen from distance d spans an angle a from its centre with
    // sin a = r / d; it fills the share of the view when tan a = share x the edge's tangent.
    const float tangent = kFramedShare * NarrowerHalfViewTangent(state.Camera.ProjectionMatrix);
    const float sine = tangent / std::sqrt(1.0f + tangent * tangent);
    const float radius = std::max(sphere.radius, 0.0f);
    const float distance = std::max(radius / sine, radius + kNearClearance);
    const gfx::Vec3 eye = sphere.centre - forward * distance;
    scene::SetView(state.Camera, eye, sphere.centre, camera.up);
    state.OrbitCentre = sphere.centre;
}

bool FrameParts(Session& session) {
    const std::optional<scene::Sphere> sphere = FramedSphere(session);
    if (!sphere) return false;
    FrameSphere(session.editor, *sphere);
    return true;
}

SideDirections DirectionsOf(ViewSide side) {
    // The first camera looks along -Z with up +Y; its screen's right is then world -X
    // (left-handed look-at).
    switch (side) {
        case ViewSide::kFront:
            return {{0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f}};
        case ViewSide::kBack:
            return {{0.0f, 0.0f, -1.0f}, {0.0f, 1.0f, 0.0f}};
        case ViewSide::kRight:
            return {{-1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
        case ViewSide::kLeft:
            return {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
        case ViewSide::kTop:
            return {{0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, -1.0f}};
        case ViewSide::kBottom:
            return {{0.0f, -1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
    }
    return {{0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f}};
}

void LookFromSide(EditorState& state, ViewSide side) {
    const gfx::Vec3 centre = state.OrbitCentre;
    float distance = gfx::Vec3Length(CameraFromView(state.Camera.ViewMatrix).eye - centre);
    if (!std::isfinite(distance) || distance < kShortestSideDistance) {
        distance = kShortestSideDistance;
    }
    const SideDirections directions = DirectionsOf(side);
    scene::SetView(state.Camera, centre + directions.toEye * distance, centre, directions.up);
}

}  // namespace app
