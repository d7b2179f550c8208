#pragma once
// Exporting the open model as a glTF 2.0 file.
//
// Nothing half-written appears under the output's names. A .glb is written whole beside its
// target and renamed over it. A .gltf comes with a .bin and its images, named as
// app/export/gltf_side_names.h says (never the file of a mesh, texture or document it reads): all
// of them are written into a fresh hidden folder beside the target and read back whole with the
// glTF reader; only then are they renamed into place, the images and the .bin first and the
// .gltf last, so that a .gltf found under its name has its files complete. The files the names
// held are kept aside until every rename has succeeded; should one fail, those done are undone
// and the previous files put back. Any failure leaves every output name as it was.

#include <string>
#include <vector>

#include "editing/model.h"
#include "gfx/base/result.h"

namespace app {

// Writes the model, its meshes and its playback loop to `path`, binary when the name ends in
// .glb, JSON with separate files when it ends in .gltf (letter case ignored). Fails with the
// reason (a texture that cannot be read, a pose that is no finite number, a name of another
// kind, a folder that cannot be written). `documents` are the part and animation files the model
// was read from, which side files must not replace either.
gfx::Status ExportGltf(const editing::Model& model, const std::string& path,
                       const std::vector<std::string>& documents = {});

}  // namespace app
