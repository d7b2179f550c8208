#pragma once
// The default scene of a glTF model as one .x-style mesh record in the part's space: every
// node's meshes transformed down the tree, converted to the editor's left-handed frame, one
// material per glTF material the scene uses (in the file's order) and a grey one last for
// primitives without a material.

#include <tiny_gltf.h>

#include <string>

#include "gfx/base/result.h"
#include "gfx/xfile/xfile_mesh_data.h"

namespace gfx::gltffile {

// `imageKey` names images held in the file itself: "imageKey#image<n>".
Result<xfile::MeshData> BuildSceneMesh(const tinygltf::Model& model, const std::string& imageKey);

}  // namespace gfx::gltffile
