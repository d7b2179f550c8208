#include "scene/mesh_object.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <utility>

#include "framework/asset_paths.h"
#include "framework/debug_log.h"
#include "framework/display_text.h"
#include "framework/texture_cache.h"
#include "scene/mesh_prepare.h"

namespace scene {
namespace {

using framework::LogMessage;

// Ambient light shows a recoloured part at this fraction of its diffuse colour.
constexpr float kAmbientShare = 0.4f;
// A new diffuse colour this dark carries no hue to scale the emissive colour by.
constexpr float kDarkDiffuse = 0.001f;

float Brightest(const gfx::ColourValue& c) {
    return std::max({c.r, c.g, c.b});
}

// The ambient colour of a material whose diffuse colour is `colour`: the unlit side shows it
// at this share. Loaded and recoloured materials both take it, so that a part recoloured to its
// own colour looks as it did.
void SetAmbientFromDiffuse(gfx::Material& material, gfx::ColourValue colour) {
    material.ambient.r = kAmbientShare * colour.r;
    material.ambient.g = kAmbientShare * colour.g;
    material.ambient.b = kAmbientShare * colour.b;
}

void Recolour(gfx::Material& material, gfx::ColourValue colour) {
    material.diffuse = colour;
    SetAmbientFromDiffuse(material, colour);
    // The emissive colour takes the new hue at its old brightness.
    const float diffuseMax = Brightest(colour);
    const float emissiveMax = Brightest(material.emissive);
    if (diffuseMax > kDarkDiffuse) {
        material.emissive.r = colour.r * emissiveMax / diffuseMax;
        material.emissive.g = colour.g * emissiveMax / diffuseMax;
        material.emissive.b = colour.b * emissiveMax / diffuseMax;
    }
}

}  // namespace

gfx::Status MeshObject::LoadFromFile(framework::TextureCache& textureCache, const std::string& path,
                                     gfx::Colour colourKey, bool buildOutline, unsigned mipLevels,
                                     MeshCache* meshes, MeshBatch* batch) {
    Release();
    outlineEnabled = buildOutline;
    LogMessage("load(%s) ... ", framework::DisplayText(path).c_str());
    name = path;

    // Stamped before the read: a change made while it is read shows as a new stamp next time.
    std::optional<FileStamp> stamp = meshes != nullptr ? StampOf(path) : std::nullopt;
    std::shared_ptr<const PreparedMesh> prepared =
        stamp ? meshes->Find(path, buildOutline, *stamp) : nullptr;
    PreparedFile file;
    if (!prepared) {
        std::optional<MeshBatch::Result> ready;
        if (batch != nullptr && batch->BuildsOutline() == buildOutline) ready = batch->Take(path);
        if (ready) {
            // The batch stamped the file before it read it.
            if (stamp) stamp = ready->stamp;
            file = std::move(ready->file);
        } else {
            file = ReadAndPrepareMeshFile(path, buildOutline);
        }
        if (file.readError) {
            // The reader's reason completes the line: which file, and what is wrong with it.
            LogMessage("failed. %s\n", framework::DisplayText(*file.readError).c_str());
            Discard();
            // The reader's text starts with the path, which the caller names itself.
            std::string_view reason = *file.readError;
            if (reason.starts_with(path + ": ")) reason.remove_prefix(path.size() + 2);
            return gfx::Error{std::string(reason)};
        }
    }
    LogMessage("ok.\n");

    const std::vector<gfx::ExtendedMaterial>& fileMaterials =
        prepared ? prepared->materials : (file.mesh ? file.mesh->materials : file.materials);
    textureCache_ = &textureCache;
    materialCount = static_cast<std::uint32_t>(fileMaterials.size());
    materials.reserve(materialCount);
    textures.assign(materialCount, nullptr);
    textureFiles.assign(materialCount, std::string());
    for (std::size_t i = 0; i < fileMaterials.size(); ++i) {
        const gfx::ExtendedMaterial& material = fileMaterials[i];
        // A .x material holds no ambient colour (the reader gives black, which would leave every
        // face turned from the light black): it takes the one a recolour gives.
        materials.push_back(material.material);
        SetAmbientFromDiffuse(materials.back(), material.material.diffuse);
        if (material.textureFilename && material.textureData) {
            // An image the mesh file holds itself, shared by its name ("file.glb#image0").
            textures[i] = textureCache.AcquireTextureFromMemory(
                *material.textureFilename, *material.textureData, colourKey, mipLevels);
            textureFiles[i] = *material.textureFilename;
        } else if (material.textureFilename) {
            // Names are kept as the file stores them; one that does not exist as written is
            // looked up beside the .x file by its file name.
            const std::string found =
                framework::LookUpBeside(*material.textureFilename, framework::FolderOf(path));
            textures[i] = textureCache.AcquireTexture(false, found, colourKey, mipLevels);
            textureFiles[i] = found;
        }
    }

    if (!prepared) {
        if (!file.mesh) {
            LogMessage("%s", file.prepareLog.c_str());
            Discard();
            return gfx::Error{"the mesh cannot be prepared for drawing (see the debug log)"};
        }
        prepared = std::move(file.mesh);
        if (stamp) meshes->Store(path, buildOutline, *stamp, prepared);
    }
    if (prepared->optimizeFailed) LogMessage("optimization failed.\n");
    Adopt(prepared);
    return {};
}

void MeshObject::Adopt(const std::shared_ptr<const PreparedMesh>& prepared) {
    // Shared with the cache and every part showing the same file: nothing changes it once made.
    d3dMesh = std::shared_ptr<const gfx::Mesh>(prepared, &prepared->mesh);
    boxMin = prepared->boxMin;
    boxMax = prepared->boxMax;
    sphereCentre = prepared->sphereCentre;
    sphereRadius = prepared->sphereRadius;
    if (prepared->outline) UseOutline(prepared->outline);
    pickTree_ = std::shared_ptr<const MeshPickTree>(prepared, &prepared->pickTree);
    pickTreeMesh_ = d3dMesh.get();
}

const MeshPickTree* MeshObject::PickTree() const {
    if (!pickTree_ || !d3dMesh || d3dMesh.get() != pickTreeMesh_) return nullptr;
    return pickTree_->Covers(*d3dMesh) ? pickTree_.get() : nullptr;
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
    pickTree_ = std::make_shared<const MeshPickTree>(*d3dMesh);
    pickTreeMesh_ = d3dMesh.get();
    return true;
}

void MeshObject::Release() {
    // A generated box has no name and releases silently.
    if (!name.empty()) LogMessage("release(%s)\n", framework::DisplayText(name).c_str());
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
    faceFront.clear();
    outlineEnds.clear();
    outlineLines_ = 0;
    outline_.reset();
    outlineKept_ = false;
    outlineEnabled = false;
    pickTree_.reset();
    pickTreeMesh_ = nullptr;
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
    UseOutline(d3dMesh ? MakeOutlineData(*d3dMesh) : nullptr);
}

void MeshObject::UseOutline(std::shared_ptr<const OutlineData> outline) {
    outline_ = std::move(outline);
    projected.clear();
    faceFront.clear();
    outlineEnds.clear();
    outlineLines_ = 0;
    outlineKept_ = false;
    vertexCount = 0;
    indexCount = 0;
    if (!d3dMesh || !outline_) return;
    vertexCount = d3dMesh->NumVertices();
    indexCount = static_cast<std::uint32_t>(d3dMesh->Indices().size());
    projected.assign(vertexCount, gfx::Vec3{});
    faceFront.assign(indexCount / 3, 0);
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
