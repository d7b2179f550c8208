#pragma once
// The open model and its playback loop as a glTF 2.0 asset (built with tinygltf): one node per
// part with its name and default pose, children under their parents, the model scale on the
// root; one mesh per loaded part mesh as the editor holds it (one primitive per material, the
// winding reversed for the mirrored frame); materials from the fixed-function colours with the
// texture as base colour; one animation playing the keys' loop at 30 frames a second.

#include <tiny_gltf.h>

#include <cstdint>
#include <string>
#include <vector>

#include "editing/model.h"
#include "gfx/base/result.h"

namespace app {

// Where the images go: PNG bytes in buffer views (a .glb), or PNG files whose names the images
// carry as URIs, with the buffer in a .bin file (a .gltf beside its files).
enum class GltfImages { kInBuffer, kFiles };

struct GltfAsset {
    tinygltf::Model gltf;
    // With GltfImages::kFiles, the bytes of each image's file (in image order); empty otherwise.
    std::vector<std::vector<std::uint8_t>> imageFiles;
};

// `baseName` names the .bin file (baseName.bin) and the image files (baseName_N.png) of a .gltf.
// Fails naming the part for a texture that could not be read or an image that cannot be encoded,
// or when the model has no parts.
gfx::Result<GltfAsset> BuildGltfAsset(const editing::Model& model, GltfImages images,
                                      const std::string& baseName);

}  // namespace app
