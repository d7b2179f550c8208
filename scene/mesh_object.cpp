#include "scene/mesh_object.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <utility>

#include "framework/asset_paths.h"
#include "framework/debug_log.h"
#include "framework/texture_cache.h"
#include "gfx/xfile.h"

namespace scene {
namespace {

using framework::LogMessage;

// The optimiser's full treatment: drop unused vertices, group faces by material, and order them
// for the vertex cache.
constexpr std::uint32_t kOptimizeFlags =
    gfx::kMeshOptCompact | gfx::kMeshOptAttrSort | gfx::kMeshOptVertexCache;

// Ambient light shows a recoloured part at this fraction of its diffuse colour.
constexpr float kAmbientShare = 0.4f;
// A new diffuse colour this dark carries no hue to scale the emissive colour by.
constexpr float kDarkDiffuse = 0.001f;

float Brightest(const gfx::ColourValue& c) {
    return std::max({c.r, c.g, c.b});
}

void Recolour(gfx::Material& material, gfx::ColourValue colour) {
    material.diffuse = colour;
    material.ambient.r = kAmbientShare * colour.r;
    material.ambient.g = kAmbientShare * colour.g;
    material.ambient.b = kAmbientShare * colour.b;
    // The emissive colour takes the new hue at its old brightness.
    const float diffuseMax = Brightest(colour);
    const float emissiveMax = Brightest(material.emissive);
    if (diffuseMax > kDarkDiffuse) {
        material.emissive.r = colour.r * emissiveMax / diffuseMax;
        material.emissive.g = colour.g * emissiveMax / diffuseMax;
        material.emissive.b = colour.b * emissiveMax / diffuseMax;
    }
}

// The outline reads every vertex position and every index; a mesh must hold both, in the sizes
// its counts promise.
bool HasVertexBuffer(const gfx::Mesh& mesh) {
    return mesh.NumVertices() > 0 && mesh.BytesPerVertex() >= sizeof(gfx::Vec3) &&
           mesh.Vertices().size() == std::size_t{mesh.NumVertices()} * mesh.BytesPerVertex();
}

bool HasIndexBuffer(const gfx::Mesh& mesh) {
    return mesh.NumFaces() > 0 && mesh.Indices().size() == std::size_t{mesh.NumFaces()} * 3;
}

}  // namespace

bool MeshObject::LoadFromFile(framework::TextureCache& textureCache, const std::string& path,
                              gfx::Colour colourKey, bool buildOutline, unsigned mipLevels) {
    Release();
    outlineEnabled = buildOutline;
    LogMessage("load(%s) ... ", path.c_str());
    name = path;

    gfx::Result<gfx::LoadedMesh> loaded = gfx::LoadMeshFromX(path);
    if (!loaded) {
        // The reader's reason completes the line: which file, and what is wrong with it.
        LogMessage("failed. %s\n", loaded.error().c_str());
        Discard();
        return false;
    }
    LogMessage("ok.\n");
    gfx::LoadedMesh& file = loaded.value();

    textureCache_ = &textureCache;
    materialCount = static_cast<std::uint32_t>(file.materials.size());
    materials.reserve(materialCount);
    textures.assign(materialCount, nullptr);
    textureFiles.assign(materialCount, std::string());
    for (std::size_t i = 0; i < file.materials.size(); ++i) {
        const gfx::ExtendedMaterial& material = file.materials[i];
        materials.push_back(material.material);
        if (material.textureFilename) {
            // Names are kept as the file stores them; one that does not exist as written is
            // looked up beside the .x file by its file name.
            const std::string found =
                framework::LookUpBeside(*material.textureFilename, framework::FolderOf(path));
            textures[i] = textureCache.AcquireTexture(false, found, colourKey, mipLevels);
            textureFiles[i] = found;
        }
    }

    d3dMesh = std::make_unique<gfx::Mesh>(std::move(file.mesh));
    if (buildOutline) {
        // The outline reads positions; lighting needs normals; textured parts keep their
        // texture coordinates. Other components (vertex colours) are dropped.
        const std::uint32_t format =
            gfx::kFvfXyz | gfx::kFvfNormal | (d3dMesh->Fvf() & gfx::kFvfTex1);
        gfx::Result<gfx::Mesh> clone = d3dMesh->CloneMeshFVF(format);
        if (!clone) {
            LogMessage("CloneMeshFVF failed.\n");
            Discard();
            return false;
        }
        *d3dMesh = std::move(clone).value();
    }

    // Before optimisation, so that vertices no face uses (which the optimiser drops) still count.
    ComputeBounds();

    gfx::Result<gfx::Mesh> optimized = d3dMesh->Optimize(kOptimizeFlags, file.adjacency);
    if (optimized) {
        *d3dMesh = std::move(optimized).value();
    } else {
        LogMessage("optimization failed.\n");  // the unoptimised mesh draws as well
    }

    if (buildOutline) {
        if (!HasVertexBuffer(*d3dMesh)) {
            LogMessage("GetVertexBuffer failed.\n");
            Discard();
            return false;
        }
        if (!HasIndexBuffer(*d3dMesh)) {
            LogMessage("GetIndexBuffer failed.\n");
            Discard();
            return false;
        }
        BuildOutlineData();
    }
    return true;
}

bool MeshObject::CreateBox(float width, float height, float depth, gfx::ColourValue colour) {
    Release();
    gfx::Result<gfx::Mesh> box = gfx::CreateBox(width, height, depth);
    if (!box) {
        LogMessage("CreateBox(%g, %g, %g) failed: %s\n", static_cast<double>(width),
                   static_cast<double>(height), static_cast<double>(depth), box.error().c_str());
        return false;
    }
    d3dMesh = std::make_unique<gfx::Mesh>(std::move(box).value());
    name.clear();
    outlineEnabled = false;

    gfx::Material material;
    material.diffuse = colour;
    material.ambient = colour;
    materials = {material};
    textures = {nullptr};
    textureFiles = {std::string()};
    materialCount = 1;
    ComputeBounds();
    return true;
}

void MeshObject::Release() {
    // A generated box has no name and releases silently.
    if (!name.empty()) LogMessage("release(%s)\n", name.c_str());
    Discard();
}

void MeshObject::Discard() {
    name.clear();
    materials.clear();
    for (framework::Texture* texture : textures) {
        if (texture != nullptr && textureCache_ != nullptr) textureCache_->ReleaseTexture(texture);
    }
    textures.clear();
    textureFiles.clear();
    textureCache_ = nullptr;
    materialCount = 0;
    d3dMesh.reset();
    boxMin = boxMax = sphereCentre = {};
    sphereRadius = 0;
    vertexCount = 0;
    indexCount = 0;
    projected.clear();
    faceEdges.clear();
    faceFront.clear();
    outlineVertices.clear();
    outlineEnabled = false;
    buffers_.reset();
    buffersDevice_ = nullptr;
}

void MeshObject::ComputeBounds() {
    if (!d3dMesh) return;
    const gfx::Mesh& mesh = *d3dMesh;
    const std::byte* vertices = mesh.LockVertexBuffer();
    gfx::ComputeBoundingBox(vertices, mesh.NumVertices(), mesh.BytesPerVertex(), &boxMin, &boxMax);
    gfx::ComputeBoundingSphere(vertices, mesh.NumVertices(), mesh.BytesPerVertex(), &sphereCentre,
                               &sphereRadius);
    mesh.UnlockVertexBuffer();
}

void MeshObject::BuildOutlineData() {
    projected.clear();
    faceEdges.clear();
    faceFront.clear();
    outlineVertices.clear();
    vertexCount = 0;
    indexCount = 0;
    if (!d3dMesh) return;

    const gfx::Mesh& mesh = *d3dMesh;
    vertexCount = mesh.NumVertices();
    indexCount = static_cast<std::uint32_t>(mesh.Indices().size());
    const std::uint32_t faceCount = indexCount / 3;
    const std::uint32_t stride = mesh.BytesPerVertex();

    const std::span<const std::uint16_t> indices(mesh.LockIndexBuffer(), indexCount);
    const std::span<const std::byte> vertices(mesh.LockVertexBuffer(), mesh.Vertices().size());
    // An index past the vertex data reads as the origin rather than outside the buffer.
    auto position = [&](std::uint32_t vertex) {
        gfx::Vec3 p;
        const std::size_t offset = std::size_t{vertex} * stride;
        if (vertex < vertexCount && offset + sizeof p <= vertices.size()) {
            std::memcpy(&p, vertices.data() + offset, sizeof p);
        }
        return p;
    };

    const FaceNeighbours neighbours = FindFaceNeighbours(indices);
    faceEdges.resize(faceCount);
    for (std::uint32_t f = 0; f < faceCount; ++f) {
        FaceEdges& face = faceEdges[f];
        for (std::uint32_t k = 0; k < 3; ++k) {
            face.neighbour[k] = neighbours[std::size_t{f} * 3 + k];
            face.edge[k][0] = position(indices[std::size_t{f} * 3 + k]);
            face.edge[k][1] = position(indices[std::size_t{f} * 3 + (k + 1) % 3]);
        }
    }
    projected.assign(vertexCount, gfx::Vec3{});
    faceFront.assign(faceCount, 0);
    outlineVertices.assign(std::size_t{faceCount} * 6, LineVertex{});

    mesh.UnlockVertexBuffer();
    mesh.UnlockIndexBuffer();
}

void MeshObject::RecolourByColour(gfx::ColourValue match, gfx::ColourValue colour) {
    if (!d3dMesh) return;
    for (gfx::Material& material : materials) {
        if (material.diffuse == match) Recolour(material, colour);
    }
}

void MeshObject::RecolourByTag(float tag, gfx::ColourValue colour) {
    if (!d3dMesh) return;
    for (gfx::Material& material : materials) {
        if (material.diffuse.a == tag) Recolour(material, colour);
    }
}

}  // namespace scene
