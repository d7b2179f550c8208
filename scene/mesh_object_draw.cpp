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
    return d3dMesh && outline_ && faces > 0 && faces == outline_->faceEdges.size() &&
           faceFront.size() == faces && projected.size() == vertexCount &&
           outline_->x.size() == vertexCount && outline_->y.size() == vertexCount &&
           outline_->z.size() == vertexCount && outline_->neighbours.size() == faces * 3 &&
           d3dMesh->NumVertices() == vertexCount && d3dMesh->Indices().size() == faces * 3 &&
           d3dMesh->BytesPerVertex() >= sizeof(gfx::Vec3) &&
           d3dMesh->Vertices().size() == std::size_t{vertexCount} * d3dMesh->BytesPerVertex();
}

void MeshObject::MarkFrontFaces(const gfx::Matrix& toScreen) {
    // gfx::Vec3TransformCoord written out over the packed positions, term for term in the same
    // order, so that every projected vertex is the same float value.
    const auto& a = toScreen.m;
    const float* xs = outline_->x.data();
    const float* ys = outline_->y.data();
    const float* zs = outline_->z.data();
    gfx::Vec3* out = projected.data();
    for (std::uint32_t i = 0; i < vertexCount; ++i) {
        const float x = xs[i], y = ys[i], z = zs[i];
        const float hx = x * a[0][0] + y * a[1][0] + z * a[2][0] + a[3][0];
        const float hy = x * a[0][1] + y * a[1][1] + z * a[2][1] + a[3][1];
        const float hz = x * a[0][2] + y * a[1][2] + z * a[2][2] + a[3][2];
        const float hw = x * a[0][3] + y * a[1][3] + z * a[2][3] + a[3][3];
        out[i] = {hx / hw, hy / hw, hz / hw};
    }

    const std::uint16_t* indices = d3dMesh->Indices().data();
    const std::size_t faceCount = faceFront.size();
    for (std::size_t f = 0; f < faceCount; ++f) {
        const std::uint16_t* corner = indices + f * 3;
        // A face naming a vertex that does not exist is never front-facing.
        const bool valid =
            corner[0] < vertexCount && corner[1] < vertexCount && corner[2] < vertexCount;
        faceFront[f] = valid && FacesCamera(out[corner[0]], out[corner[1]], out[corner[2]]) ? 1 : 0;
    }
}

void MeshObject::CollectSilhouette(gfx::Colour colour) {
    // The silhouette: edges of front faces that border a back face or no face at all. A first
    // pass marks them (bit k for edge k) and counts them, without branching on the faces.
    const std::size_t faceCount = faceFront.size();
    const std::uint8_t* front = faceFront.data();
    const std::uint32_t* neighbour = outline_->neighbours.data();
    silhouette_.resize(faceCount);
    std::uint8_t* marks = silhouette_.data();
    std::size_t edges = 0;
    for (std::size_t f = 0; f < faceCount; ++f) {
        unsigned mark = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            const std::uint32_t g = neighbour[f * 3 + k];
            const unsigned backed = g < faceCount ? front[g] : 0u;
            mark |= (backed ^ 1u) << k;
        }
        mark *= front[f];
        marks[f] = static_cast<std::uint8_t>(mark);
        edges += (mark & 1u) + ((mark >> 1) & 1u) + (mark >> 2);
    }

    // Then the marked edges' end points, in face order and edge order within a face. A front
    // face names only existing vertices.
    if (outlineVertices.size() < edges * 2) outlineVertices.resize(edges * 2);
    const std::uint16_t* indices = d3dMesh->Indices().data();
    const float* xs = outline_->x.data();
    const float* ys = outline_->y.data();
    const float* zs = outline_->z.data();
    LineVertex* out = outlineVertices.data();
    for (std::size_t f = 0; f < faceCount; ++f) {
        const unsigned mark = marks[f];
        if (mark == 0) continue;
        const std::uint16_t* corner = indices + f * 3;
        for (std::size_t k = 0; k < 3; ++k) {
            if ((mark & (1u << k)) == 0) continue;
            const std::uint16_t from = corner[k], to = corner[(k + 1) % 3];
            *out++ = {xs[from], ys[from], zs[from], colour};
            *out++ = {xs[to], ys[to], zs[to], colour};
        }
    }
    outlineVertices.resize(edges * 2);
}

void MeshObject::DrawOutline(framework::GraphicsDevice& device, const gfx::Matrix& world,
                             gfx::Colour colour) {
    const framework::ViewTransforms& view = device.transforms;
    const gfx::Matrix toScreen =
        gfx::MatrixMultiply(gfx::MatrixMultiply(world, view.ViewMatrix), view.ProjectionMatrix);

    // The silhouette depends only on the matrix: a still camera over a still part reuses it.
    const bool same = outlineKept_ && colour == outlineColour_ &&
                      std::memcmp(&toScreen, &outlineMatrix_, sizeof toScreen) == 0;
    if (!same) {
        MarkFrontFaces(toScreen);
        CollectSilhouette(colour);
        outlineMatrix_ = toScreen;
        outlineColour_ = colour;
        outlineKept_ = true;
    }
    if (outlineVertices.empty()) return;

    gfx::Matrix pulled = view.ProjectionMatrix;
    pulled.m[3][2] -= kOutlineDepthPull;
    device.SetTransform(TransformState::kProjection, pulled);
    device.SetVertexFormat(kLineFvf);
    device.DrawPrimitiveUP(framework::PrimitiveType::kLineList,
                           static_cast<std::uint32_t>(outlineVertices.size() / 2),
                           outlineVertices.data(), sizeof(LineVertex));
    device.SetTransform(TransformState::kProjection, view.ProjectionMatrix);
}

}  // namespace scene
