#pragma once
// The one place that chooses a mesh file's reader: by the name's extension, letter case ignored.

#include <string>

#include "gfx/base/find_file.h"
#include "gfx/base/result.h"
#include "gfx/xfile/xfile.h"

namespace gfx {

enum class MeshFormat { kX, kObj, kGltf };

// ".obj" is Wavefront OBJ, ".gltf" and ".glb" glTF 2.0; every other name is read as a .x file,
// whose reader checks its header.
MeshFormat MeshFormatOf(const std::string& path);

// The mesh of any supported file, the files it names found by `find`; the error names the path
// and the reason.
Result<LoadedMesh> LoadMeshFile(const std::string& path,
                                const FindFile& find = FindBesideWithEitherSlash,
                                Adjacency adjacency = Adjacency::kMake);

}  // namespace gfx
