#pragma once
// Exporting the open model as a glTF 2.0 file.
//
// Nothing half-written appears under the output's names. A .glb is written whole beside its
// target and renamed over it. A .gltf comes with NAME.bin and its images NAME_0.png, NAME_1.png
// ... (NAME the output's file name without extension, every byte other than letters, digits,
// '.', '-' and '_' made '_'): all of them are written into a fresh hidden folder beside the
// target and read back whole with the glTF reader; only then are they renamed into place, the
// images and the .bin first and the .gltf last, so that a .gltf found under its name has its
// files complete. A failure before that removes the folder and leaves every output name as it
// was.

#include <string>

#include "gfx/result.h"
#include "model/model.h"

namespace app {

// Writes the model, its meshes and its playback loop to `path`, binary when the name ends in
// .glb, JSON with separate files when it ends in .gltf (letter case ignored). Fails with the
// reason (a texture that cannot be read, a name of another kind, a folder that cannot be
// written).
gfx::Status ExportGltf(const model::Model& model, const std::string& path);

}  // namespace app
