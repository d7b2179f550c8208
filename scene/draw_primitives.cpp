#include "scene/draw_primitives.h"

#include <cmath>

#include "gfx/math/math.h"
#include "gfx/mesh/mesh.h"

namespace scene {

namespace {

constexpr std::uint32_t kLineFvf = gfx::kFvfXyz | gfx::kFvfDiffuse;

// Vec3Normalize, except that a vector too short for it but not zero still gives its direction:
// the tilted frame of RingWorld produces such a vector.
gfx::Vec3 NormalizeAnyLength(gfx::Vec3 v) {
    const gfx::Vec3 unit = gfx::Vec3Normalize(v);
    if (unit != gfx::Vec3{} || v == gfx::Vec3{}) return unit;
    const double length = std::sqrt(double{v.x} * v.x + double{v.y} * v.y + double{v.z} * v.z);
    return {static_cast<float>(v.x / length), static_cast<float>(v.y / length),
            static_cast<float>(v.z / length)};
}

void DrawStrip(framework::GraphicsDevice& device, const CircleVertices& vertices) {
    device.SetVertexFormat(kLineFvf);
    device.DrawPrimitiveUP(framework::PrimitiveType::kLineStrip, kCircleSegments, vertices.data(),
                           sizeof(LineVertex));
}

}  // namespace

CircleVertices MakeCircleVertices(float radius, gfx::Colour colour) {
    CircleVertices vertices;
    for (int i = 0; i < kCircleSegments; ++i) {
        const float angle = static_cast<float>(i) * kCircleStep;
        vertices[static_cast<std::size_t>(i)] = {radius * std::cos(angle), radius * std::sin(angle),
                                                 0, colour};
    }
    vertices[kCircleSegments] = vertices[0];
    return vertices;
}

gfx::Matrix FacingCircleWorld(const gfx::Matrix& inverseView, gfx::Vec3 centre) {
    gfx::Matrix world = inverseView;
    world.m[3][0] = centre.x;
    world.m[3][1] = centre.y;
    world.m[3][2] = centre.z;
    world.m[3][3] = 1;
    return world;
}

gfx::Matrix RingWorld(gfx::Vec3 centre, gfx::Vec3 normal, gfx::Vec3 up) {
    // The test looks at the normal as given, before it is normalised.
    if (up.x == 0 && up.z == 0 && up.y > 0.999999f && normal.x == 0 && normal.z == 0) {
        if (normal.y > 0.999999f) {
            up = {0, 1, -1e-6f};
        } else if (normal.y < -0.999999f) {
            up = {0, 1, 1e-6f};
        }
    }
    const gfx::Vec3 n = gfx::Vec3Normalize(normal);
    const gfx::Vec3 x = NormalizeAnyLength(gfx::Vec3Cross(up, n));
    const gfx::Vec3 y = gfx::Vec3Normalize(gfx::Vec3Cross(n, x));
    gfx::Matrix world;
    world.m[0][0] = x.x, world.m[0][1] = x.y, world.m[0][2] = x.z, world.m[0][3] = 0;
    world.m[1][0] = y.x, world.m[1][1] = y.y, world.m[1][2] = y.z, world.m[1][3] = 0;
    world.m[2][0] = n.x, world.m[2][1] = n.y, world.m[2][2] = n.z, world.m[2][3] = 0;
    world.m[3][0] = centre.x, world.m[3][1] = centre.y, world.m[3][2] = centre.z;
    world.m[3][3] = 1;
    return world;
}

void DrawLine(framework::GraphicsDevice& device, gfx::Vec3 from, gfx::Vec3 to, gfx::Colour colour,
              gfx::Colour endColour) {
    const LineVertex vertices[2] = {{from.x, from.y, from.z, colour},
                                    {to.x, to.y, to.z, endColour != 0 ? endColour : colour}};
    device.SetVertexFormat(kLineFvf);
    device.DrawPrimitiveUP(framework::PrimitiveType::kLineList, 1, vertices, sizeof(LineVertex));
}

void DrawFacingCircle(framework::GraphicsDevice& device, gfx::Vec3 centre, float radius,
                      gfx::Colour colour) {
    const CircleVertices vertices = MakeCircleVertices(radius, colour);
    device.SetTransform(framework::TransformState::kWorld,
                        FacingCircleWorld(device.InverseView(), centre));
    DrawStrip(device, vertices);
}

void DrawRing(framework::GraphicsDevice& device, gfx::Vec3 centre, gfx::Vec3 normal, gfx::Vec3 up,
              float radius, gfx::Colour colour) {
    const CircleVertices vertices = MakeCircleVertices(radius, colour);
    device.SetTransform(framework::TransformState::kWorld, RingWorld(centre, normal, up));
    DrawStrip(device, vertices);
}

void SetDirectionalLight(framework::GraphicsDevice& device, gfx::Vec3 direction, float red,
                         float green, float blue, float alpha) {
    device.SetLight(0, framework::MakeDirectionalLight(direction, {red, green, blue, alpha}));
    device.LightEnable(0, true);
}

const framework::Light& CurrentLight(const framework::GraphicsDevice& device) {
    return device.GetLight(0);
}

void SetView(framework::ViewTransforms& transforms, gfx::Vec3 eye, gfx::Vec3 target, gfx::Vec3 up) {
    transforms.ViewMatrix = gfx::MatrixLookAtLH(eye, target, up);
}

}  // namespace scene
