// Drawing a mesh object: its material subsets, then its silhouette outline when asked for.

#include <cstring>

#include "framework/device/graphics_device.h"
#include "gfx/math/math.h"
#include "scene/face_facing.h"
#include "scene/mesh_object.h"
#include "scene/silhouette_edges.h"

namespace scene {
namespace {

using framework::RenderState;
using framework::TransformState;

// Outlines are worked out and drawn only for meshes whose origin is nearer to the camera.
constexpr float kOutlineDistance = 15.0f;
// Taken off the projection's _43 for the outline: the lines move slightly towards the camera and
// so win the depth test against the surface they lie on.
constexpr float kOutlineDepthPull = 0.0001f;

// The camera position of a view matrix made of a rotation and a translation: minus the
// translation row taken back through the transposed rotation.
gfx::Vec3 EyeOf(const gfx::Matrix& v) {
    const float(&m)[4][4] = v.m;
    return {-(m[0][0] * m[3][0] + m[0][1] * m[3][1] + m[0][2] * m[3][2]),
            -(m[1][0] * m[3][0] + m[1][1] * m[3][1] + m[1][2] * m[3][2]),
            -(m[2][0] * m[3][0] + m[2][1] * m[3][1] + m[2][2] * m[3][2])};
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

    if (!outline) return;
    switch (PrepareSilhouette(world, device.GetTransform(TransformState::kView),
                              device.GetTransform(TransformState::kProjection))) {
        case SilhouetteNeed::kNone:
            return;
        case SilhouetteNeed::kWork:
            WorkOutSilhouette();
            break;
        case SilhouetteNeed::kKept:
            break;
    }
    DrawSilhouette(device, outlineColour);
}

void MeshObject::DrawInMaterial(framework::GraphicsDevice& device, const gfx::Matrix& world,
                                const gfx::Material& material) {
    if (!d3dMesh) return;
    device.SetTransform(TransformState::kWorld, world);
    const framework::MeshBuffers* buffers = Buffers(device);
    if (buffers == nullptr) return;
    device.SetMaterial(material);
    device.SetTexture(0, nullptr);
    for (std::uint32_t i = 0; i < materialCount && i < materials.size(); ++i) {
        device.DrawSubset(*buffers, i);
    }
}

bool MeshObject::HasOutlineData() const {
    const std::size_t faces = faceFront.size();
    return d3dMesh && outline_ && faces > 0 && projected.size() == vertexCount &&
           outline_->x.size() == vertexCount && outline_->y.size() == vertexCount &&
           outline_->z.size() == vertexCount &&
           (outline_->neighbours16.size() == faces * 3 ||
            outline_->neighbours.size() == faces * 3) &&
           d3dMesh->NumVertices() == vertexCount && d3dMesh->Indices().size() == faces * 3 &&
           d3dMesh->BytesPerVertex() >= sizeof(gfx::Vec3) &&
           d3dMesh->Vertices().size() == std::size_t{vertexCount} * d3dMesh->BytesPerVertex();
}

void MeshObject::MarkFrontFaces(const gfx::Matrix& toScreen) {
    MarkFacingFaces(toScreen, *outline_, {d3dMesh->Indices(), faceFront, projected});
}

void MeshObject::CollectSilhouette() {
    outlineEnds.resize(faceFront.size() * 6);
    outlineLines_ =
        CollectSilhouetteEdges(faceFront, *outline_, d3dMesh->Indices(), outlineEnds.data());
}

MeshObject::SilhouetteNeed MeshObject::PrepareSilhouette(const gfx::Matrix& world,
                                                         const gfx::Matrix& view,
                                                         const gfx::Matrix& projection) {
    if (!outlineEnabled || !HasOutlineData()) return SilhouetteNeed::kNone;
    const gfx::Vec3 eye = EyeOf(view);
    const gfx::Vec3 origin{world.m[3][0], world.m[3][1], world.m[3][2]};
    if (gfx::Vec3Length(eye - origin) >= kOutlineDistance) return SilhouetteNeed::kNone;

    // The silhouette depends only on the matrix: a still camera over a still part reuses it.
    const gfx::Matrix toScreen = gfx::MatrixMultiply(gfx::MatrixMultiply(world, view), projection);
    if (outlineKept_ && std::memcmp(&toScreen, &outlineMatrix_, sizeof toScreen) == 0) {
        return SilhouetteNeed::kKept;
    }
    outlineMatrix_ = toScreen;
    outlineKept_ = true;
    return SilhouetteNeed::kWork;
}

void MeshObject::WorkOutSilhouette() {
    MarkFrontFaces(outlineMatrix_);
    CollectSilhouette();
}

void MeshObject::DrawSilhouette(framework::GraphicsDevice& device, gfx::Colour colour) {
    const std::uint32_t lighting = device.GetRenderState(RenderState::kLighting);
    const std::uint32_t dither = device.GetRenderState(RenderState::kDitherEnable);
    device.SetRenderState(RenderState::kLighting, 0);
    device.SetRenderState(RenderState::kDitherEnable, 1);
    const framework::MeshBuffers* buffers = Buffers(device);
    if (buffers != nullptr && outlineLines_ > 0) {
        // A copy: the lines are drawn under a pulled projection, then this one is set back.
        const gfx::Matrix projection = device.GetTransform(TransformState::kProjection);
        gfx::Matrix pulled = projection;
        pulled.m[3][2] -= kOutlineDepthPull;
        device.SetTransform(TransformState::kProjection, pulled);
        device.DrawMeshLines(*buffers, std::span(outlineEnds).first(outlineLines_ * 2), colour);
        device.SetTransform(TransformState::kProjection, projection);
    }
    device.SetRenderState(RenderState::kLighting, lighting);
    device.SetRenderState(RenderState::kDitherEnable, dither);
}

}  // namespace scene
