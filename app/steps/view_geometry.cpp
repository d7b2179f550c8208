#include "app/steps/view_geometry.h"

#include <algorithm>

#include "gfx/math/math.h"
#include "scene/draw_primitives.h"

namespace app {

CameraFrame CameraFromView(const gfx::Matrix& view) {
    const auto& v = view.m;
    CameraFrame camera;
    camera.right = {v[0][0], v[1][0], v[2][0]};
    camera.up = {v[0][1], v[1][1], v[2][1]};
    camera.forward = {v[0][2], v[1][2], v[2][2]};
    const gfx::Vec3 k{v[0][0] * v[3][0] + v[0][1] * v[3][1] + v[0][2] * v[3][2],
                      v[1][0] * v[3][0] + v[1][1] * v[3][1] + v[1][2] * v[3][2],
                      v[2][0] * v[3][0] + v[2][1] * v[3][1] + v[2][2] * v[3][2]};
    camera.eye = -k;
    return camera;
}

Ray PointerRay(const ClientView& view, framework::PixelPoint cursor) {
    // A zero-sized client (a minimised window) must not divide by zero.
    const float width = static_cast<float>(std::max(view.clientWidth, 1));
    const float height = static_cast<float>(std::max(view.clientHeight, 1));
    const gfx::Matrix& p = view.transforms.ProjectionMatrix;
    const float px = (2.0f * static_cast<float>(cursor.x) / width - 1.0f) / p.m[0][0];
    const float py = -(2.0f * static_cast<float>(cursor.y) / height - 1.0f) / p.m[1][1];

    // A look-at matrix always has an inverse; identity keeps the ray defined regardless.
    const gfx::Matrix w = gfx::MatrixInverse(view.transforms.ViewMatrix).value_or(gfx::Matrix{});
    const gfx::Vec3 direction{px * w.m[0][0] + py * w.m[1][0] + w.m[2][0],
                              px * w.m[0][1] + py * w.m[1][1] + w.m[2][1],
                              px * w.m[0][2] + py * w.m[1][2] + w.m[2][2]};
    return {{w.m[3][0], w.m[3][1], w.m[3][2]}, gfx::Vec3Normalize(direction)};
}

gfx::Vec3 ClosestPointOnLine(gfx::Vec3 a, gfx::Vec3 b, gfx::Vec3 p) {
    const gfx::Vec3 d = b - a;
    const float q = gfx::Vec3Dot(d, d);
    const float t = q < 0.00001f ? 0.0f : gfx::Vec3Dot(p - a, d) / q;
    return a + d * t;
}

void FrameView(framework::ViewTransforms& transforms, const scene::TransformNode* node) {
    gfx::Vec3 centre{0.0f, 1.0f, 0.0f};
    float radius = 2.0f;
    if (node != nullptr) {
        const scene::Sphere sphere = node->BoundingSphere();
        centre = sphere.centre;
        radius = sphere.radius;
    }
    scene::SetView(transforms, {0.0f, centre.y + 0.5f * radius, 4.0f * radius}, centre,
                   {0.0f, 1.0f, 0.0f});
}

}  // namespace app
