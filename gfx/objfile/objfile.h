#pragma once
// Loading Wavefront OBJ meshes with their MTL material libraries into the same merged triangle
// mesh the .x reader gives, in the editor's left-handed frame.

#include <functional>
#include <string>
#include <string_view>

#include "gfx/base/find_file.h"
#include "gfx/base/result.h"
#include "gfx/xfile/xfile.h"

namespace gfx {

// Gives the text of the material library an `mtllib` line names (as the line spells it), or
// the reason it cannot be read.
using MtlSource = std::function<Result<std::string>(std::string_view name)>;

// Every face of the file in one mesh, polygons fanned into triangles, one subset a material of
// the libraries (in their order) plus a grey one for faces without a known material.
Result<LoadedMesh> LoadMeshFromObjInMemory(std::string_view text, const MtlSource& mtl,
                                           Adjacency adjacency = Adjacency::kMake);
// Reads the file and the libraries it names (found by `find` from the OBJ's folder), then as
// above. Texture names relative to a library in another folder are given relative to the OBJ's
// folder. The error names the path and the reason.
Result<LoadedMesh> LoadMeshFromObj(const std::string& path,
                                   const FindFile& find = FindBesideWithEitherSlash,
                                   Adjacency adjacency = Adjacency::kMake);

}  // namespace gfx
