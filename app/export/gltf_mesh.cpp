#include "app/export/gltf_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "app/export/gltf_pose.h"
#include "app/export/texture_problems.h"
#include "framework/display_text.h"
#include "framework/texture_cache.h"
#include "gfx/image/png_writer.h"
#include "gfx/math/math.h"

namespace app {

namespace {

// Shorter normals than this carry no direction; they point up.
constexpr float kNoDirection = 1e-12f;

double Clamp01(float v) {
    return std::isfinite(v) ? std::clamp(static_cast<double>(v), 0.0, 1.0) : 0.0;
}

gfx::Result<int> AddMaterial(const scene::MeshObject& mesh, std::uint32_t m, bool hasTexCoords,
                             std::string_view partName, GltfBuffer& buffer, GltfTextures& textures,
                             GltfAsset& asset) {
    const gfx::Material& source = mesh.materials[m];
    tinygltf::Material material;
    material.name = framework::DisplayText(partName) + " " + std::to_string(m);
    const gfx::ColourValue& d = source.diffuse;
    material.pbrMetallicRoughness.baseColorFactor = {Clamp01(d.r), Clamp01(d.g), Clamp01(d.b),
                                                     Clamp01(d.a)};
    // Fixed-function materials are not metals.
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.pbrMetallicRoughness.roughnessFactor = 1.0;
    material.alphaMode = Clamp01(d.a) < 1.0 ? "BLEND" : "OPAQUE";
    const gfx::ColourValue& e = source.emissive;
    material.emissiveFactor = {Clamp01(e.r), Clamp01(e.g), Clamp01(e.b)};
    if (m < mesh.textureFiles.size() && !mesh.textureFiles[m].empty()) {
        const framework::Texture* texture = mesh.textures[m];
        if (texture == nullptr) {
            return gfx::Error{"part \"" + framework::DisplayText(partName) + "\": the texture \"" +
                              framework::DisplayText(mesh.textureFiles[m]) +
                              "\" cannot be read: " + TextureFailureReason(mesh.textureFiles[m])};
        }
        if (hasTexCoords) {
            gfx::Result<int> index = textures.TextureOf(*texture, buffer);
            if (!index) {
                return gfx::Error{
                    "part \"" + framework::DisplayText(partName) + "\": the texture \"" +
                    framework::DisplayText(mesh.textureFiles[m]) + "\" " + index.error()};
            }
            material.pbrMetallicRoughness.baseColorTexture.index = *index;
        }
    }
    asset.gltf.materials.push_back(std::move(material));
    return static_cast<int>(asset.gltf.materials.size() - 1);
}

}  // namespace

gfx::Result<int> GltfTextures::TextureOf(const framework::Texture& texture, GltfBuffer& buffer) {
    if (const auto found = index_.find(&texture); found != index_.end()) return found->second;
    if (texture.image.levels.empty()) return gfx::Error{"has no image"};
    auto encoded = gfx::EncodePng(texture.image.levels[0], gfx::PngChannels::kRgba);
    if (!encoded) return gfx::Error{"cannot be encoded as PNG"};
    std::vector<std::uint8_t> png = std::move(*encoded);

    tinygltf::Model& gltf = asset_.gltf;
    tinygltf::Image image;
    image.mimeType = "image/png";
    if (placement_ == GltfImages::kInBuffer) {
        image.bufferView = buffer.AddView(png, 0);
    } else {
        image.uri = baseName_ + "_" + std::to_string(gltf.images.size()) + ".png";
        asset_.imageFiles.push_back(std::move(png));
    }
    gltf.images.push_back(std::move(image));
    if (gltf.samplers.empty()) {
        tinygltf::Sampler sampler;
        sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        gltf.samplers.push_back(sampler);
    }
    tinygltf::Texture gltfTexture;
    gltfTexture.sampler = 0;
    gltfTexture.source = static_cast<int>(gltf.images.size() - 1);
    gltf.textures.push_back(gltfTexture);
    const int index = static_cast<int>(gltf.textures.size() - 1);
    index_[&texture] = index;
    return index;
}

gfx::Result<int> AddPartMesh(const scene::MeshObject& mesh, std::string_view partName,
                             GltfBuffer& buffer, GltfTextures& textures, GltfAsset& asset) {
    if (!mesh.IsLoaded()) return -1;
    const gfx::Mesh& source = *mesh.d3dMesh;
    const std::uint32_t vertexCount = source.NumVertices();
    const std::span<const std::uint16_t> indices = source.Indices();
    const std::span<const std::uint32_t> attributes = source.Attributes();
    if (indices.size() < std::size_t{attributes.size()} * 3) {
        return gfx::Error{"part \"" + framework::DisplayText(partName) +
                          "\": the mesh has too few indices"};
    }

    // Faces by material, each with its corners in reverse order: the mirrored model looks the
    // same on screen, so its front faces stay clockwise there, and glTF's front faces are
    // counter-clockwise.
    std::vector<std::vector<std::uint16_t>> faces(mesh.materialCount);
    for (std::size_t f = 0; f < attributes.size(); ++f) {
        const std::uint16_t a = indices[f * 3], b = indices[f * 3 + 1], c = indices[f * 3 + 2];
        if (a >= vertexCount || b >= vertexCount || c >= vertexCount) {
            return gfx::Error{"part \"" + framework::DisplayText(partName) + "\": face " +
                              std::to_string(f) + " names a vertex past the mesh's " +
                              std::to_string(vertexCount)};
        }
        // The editor draws the subsets of its materials only.
        if (attributes[f] < mesh.materialCount) {
            faces[attributes[f]].insert(faces[attributes[f]].end(), {a, c, b});
        }
    }
    if (std::all_of(faces.begin(), faces.end(), [](const auto& list) { return list.empty(); })) {
        return -1;
    }

    std::vector<gfx::Vec3> positions(vertexCount), normals(vertexCount);
    std::vector<gfx::Vec2> texCoords;
    const bool hasTexCoords = (source.Fvf() & gfx::kFvfTex1) != 0;
    if (hasTexCoords) texCoords.resize(vertexCount);
    for (std::uint32_t v = 0; v < vertexCount; ++v) {
        positions[v] = MirrorZ(source.Position(v));
        const gfx::Vec3 n = source.Normal(v);
        normals[v] = gfx::Vec3LengthSq(n) > kNoDirection ? MirrorZ(gfx::Vec3Normalize(n))
                                                         : gfx::Vec3{0.0f, 1.0f, 0.0f};
        if (hasTexCoords) texCoords[v] = source.TexCoord(v);
    }

    tinygltf::Primitive shared;
    shared.mode = TINYGLTF_MODE_TRIANGLES;
    shared.attributes["POSITION"] = buffer.AddVec3(positions, GltfBuffer::Use::kPosition);
    shared.attributes["NORMAL"] = buffer.AddVec3(normals, GltfBuffer::Use::kVertex);
    int texCoordAccessor = -1;  // made for the first textured primitive

    tinygltf::Mesh gltfMesh;
    gltfMesh.name = framework::DisplayText(partName);
    for (std::uint32_t m = 0; m < mesh.materialCount; ++m) {
        if (faces[m].empty()) continue;
        gfx::Result<int> material =
            AddMaterial(mesh, m, hasTexCoords, partName, buffer, textures, asset);
        if (!material) return gfx::Error{material.error()};
        tinygltf::Primitive primitive = shared;
        if (asset.gltf.materials[*material].pbrMetallicRoughness.baseColorTexture.index >= 0) {
            if (texCoordAccessor < 0) texCoordAccessor = buffer.AddVec2(texCoords);
            primitive.attributes["TEXCOORD_0"] = texCoordAccessor;
        }
        primitive.indices = buffer.AddIndices(faces[m]);
        primitive.material = *material;
        gltfMesh.primitives.push_back(std::move(primitive));
    }
    asset.gltf.meshes.push_back(std::move(gltfMesh));
    return static_cast<int>(asset.gltf.meshes.size() - 1);
}

}  // namespace app
