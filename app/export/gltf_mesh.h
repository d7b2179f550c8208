#pragma once
// A part's mesh in a glTF asset: its vertices in the right-handed frame, one primitive per
// material that has faces, and the materials with their textures.

#include <map>
#include <string>
#include <string_view>

#include "app/export/gltf_buffer.h"
#include "app/export/gltf_export.h"
#include "scene/mesh_object.h"

namespace app {

// The textures already in the asset, shared between the parts that use them.
class GltfTextures {
  public:
    GltfTextures(GltfAsset& asset, GltfImages placement, std::string baseName)
        : asset_(asset), placement_(placement), baseName_(std::move(baseName)) {}

    // The glTF texture of a loaded texture, its image added on first use.
    gfx::Result<int> TextureOf(const framework::Texture& texture, GltfBuffer& buffer);

  private:
    GltfAsset& asset_;
    GltfImages placement_;
    std::string baseName_;
    std::map<const framework::Texture*, int> index_;
};

// Adds the mesh with its materials; -1 when the part has no mesh or no face to draw. Fails
// naming the part for a texture that could not be read or a face past the vertices.
gfx::Result<int> AddPartMesh(const scene::MeshObject& mesh, std::string_view partName,
                             GltfBuffer& buffer, GltfTextures& textures, GltfAsset& asset);

}  // namespace app
