// Drawing a mesh object: its material subsets, then its silhouette outline when asked for.

#include <cstring>

#include "framework/device/graphics_device.h"
#include "gfx/math.h"
#include "scene/mesh_object.h"

namespace scene {
namespace {

using framework::RenderState;
using framework::TransformState;

// Outlines are worked out and drawn only for meshes whose origin is nearer to the camera.
constexpr float kOutlineDistance = 15.0f;
// Taken off the projection's _43 for the outline: the lines move slightly towards the camera and
// so win the depth test against the surface they lie on.
constexpr float kOutlineDepthPull = 0.0001f;
constexpr std::uint32_t kLineFvf = gfx::kFvfXyz | gfx::kFvfDiffuse;

// The camera position of a view matrix made of a rotation and a translation: minus the
// translation row taken back through the transposed rotation.
gfx::Vec3 EyeOf(const gfx::Matrix& v) {
    const float(&m)[4][4] = v.m;
    return {-(m[0][0] * m[3][0] + m[0][1] * m[3][1] + m[0][2] * m[3][2]),
            -(m[1][0] * m[3][0] + m[1][1] * m[3][1] + m[1][2] * m[3][2]),
            -(m[2][0] * m[3][0] + m[2][1] * m[3][1] + m[2][2] * m[3][2])};
}

// A face runs clockwise on screen (the visible winding) when this is negative; the projected
// y axis points up.
bool FacesCamera(const gfx::Vec3& a, const gfx::Vec3& b, const gfx::Vec3& c) {
    return (c.y - a.y) * (b.x - a.x) - (b.y - a.y) * (c.x - a.x) < 0;
}

LineVertex At(const gfx::Vec3& p, gfx::Colour colour) {
    return {p.x, p.y, p.z, colour};
}

}  // namespace

const framework::MeshBuffers* MeshObject::Buffers(framework::GraphicsDevice& device) {
    // Made once per device. A device without a context is asked again on the next draw; a mesh
    // the device refuses stays undrawn without asking every frame.
    if (buffersDevice_ != &device) {
        buffers_ = device.CreateMeshBuffers(*d3dMesh);
        buffersDevice_ = device.IsCreated() ? &device : nullptr;
    }
    return buffers_.get();
}

void MeshObject::Draw(framework::GraphicsDevice& device, const gfx::Matrix& world, bool outline,
                      gfx::Colour outlineColour) {
    if (!d3dMesh) return;
    device.SetTransform(TransformState::kWorld, world);
    if (const framework::MeshBuffers* buffers = Buffers(device)) {
        for (std::uint32_t i = 0; i < materialCount && i < materials.size(); ++i) {
            device.SetMaterial(materials[i]);
            device.SetTexture(0, i < textures.size() ? textures[i] : nullptr);
            device.DrawSubset(*buffers, i);
        }
    }

    if (!outlineEnabled || !outline || !HasOutlineData()) return;
    const gfx::Vec3 eye = EyeOf(device.transforms.ViewMatrix);
    const gfx::Vec3 origin{world.m[3][0], world.m[3][1], world.m[3][2]};
    if (gfx::Vec3Length(eye - origin) >= kOutlineDistance) return;

    const std::uint32_t lighting = device.GetRenderState(RenderState::kLighting);
    const std::uint32_t dither = device.GetRenderState(RenderState::kDitherEnable);
    device.SetRenderState(RenderState::kLighting, 0);
    device.SetRenderState(RenderState::kDitherEnable, 1);
    DrawOutline(device, world, outlineColour);
    device.SetRenderState(RenderState::kLighting, lighting);
    device.SetRenderState(RenderState::kDitherEnable, dither);
}

bool MeshObject::HasOutlineData() const {
    const std::size_t faces = faceEdges.size();
    return d3dMesh && faces > 0 && faceFront.size() == faces &&
           outlineVertices.size() == faces * 6 && projected.size() == vertexCount &&
           d3dMesh->NumVertices() == vertexCount && d3dMesh->Indices().size() == faces * 3 &&
           d3dMesh->BytesPerVertex() >= sizeof(gfx::Vec3) &&
           d3dMesh->Vertices().size() == std::size_t{vertexCount} * d3dMesh->BytesPerVertex();
}

void MeshObject::DrawOutline(framework::GraphicsDevice& device, const gfx::Matrix& world,
                             gfx::Colour colour) {
    const framework::ViewTransforms& view = device.transforms;
    const gfx::Matrix toScreen =
        gfx::MatrixMultiply(gfx::MatrixMultiply(world, view.ViewMatrix), view.ProjectionMatrix);

    const gfx::Mesh& mesh = *d3dMesh;
    const std::byte* vertices = mesh.LockVertexBuffer();
    const std::uint32_t stride = mesh.BytesPerVertex();
    for (std::uint32_t i = 0; i < vertexCount; ++i) {
        gfx::Vec3 p;
        std::memcpy(&p, vertices + std::size_t{i} * stride, sizeof p);
        projected[i] = gfx::Vec3TransformCoord(p, toScreen);
    }
    mesh.UnlockVertexBuffer();

    const std::uint16_t* indices = mesh.LockIndexBuffer();
    const std::size_t faceCount = faceFront.size();
    for (std::size_t f = 0; f < faceCount; ++f) {
        const std::uint16_t* corner = indices + f * 3;
        // A face naming a vertex that does not exist is never front-facing.
        const bool valid =
            corner[0] < vertexCount && corner[1] < vertexCount && corner[2] < vertexCount;
        faceFront[f] =
            valid && FacesCamera(projected[corner[0]], projected[corner[1]], projected[corner[2]])
                ? 1
                : 0;
    }
    mesh.UnlockIndexBuffer();

    // The silhouette: edges of front faces that border a back face or no face at all.
    std::size_t n = 0;
    for (std::size_t f = 0; f < faceCount; ++f) {
        if (faceFront[f] == 0) continue;
        const FaceEdges& face = faceEdges[f];
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t g = face.neighbour[k];
            if (g < faceCount && faceFront[g] != 0) continue;
            outlineVertices[n++] = At(face.edge[k][0], colour);
            outlineVertices[n++] = At(face.edge[k][1], colour);
        }
    }
    if (n == 0) return;

    gfx::Matrix pulled = view.ProjectionMatrix;
    pulled.m[3][2] -= kOutlineDepthPull;
    device.SetTransform(TransformState::kProjection, pulled);
    device.SetVertexFormat(kLineFvf);
    device.DrawPrimitiveUP(framework::PrimitiveType::kLineList, static_cast<std::uint32_t>(n / 2),
                           outlineVertices.data(), sizeof(LineVertex));
    device.SetTransform(TransformState::kProjection, view.ProjectionMatrix);
}

}  // namespace scene
