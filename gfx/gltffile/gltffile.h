#pragma once
// Loading glTF 2.0 meshes (.gltf with side files or data URIs, and .glb) into the same merged
// triangle mesh the .x reader gives: the default scene's node tree in the part's space,
// converted to the editor's left-handed frame.

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "gfx/base/find_file.h"
#include "gfx/base/result.h"
#include "gfx/xfile/xfile.h"

namespace gfx {

// `name` keys the images the file holds itself in the texture cache ("name#image2"); the
// buffer files the glTF names are found by `find` in `folder`, or not read at all when it is
// empty (then only embedded data can be used). The bytes are either JSON text or a binary .glb.
Result<LoadedMesh> LoadMeshFromGltfInMemory(std::span<const std::byte> bytes,
                                            const std::string& name,
                                            const std::optional<std::string>& folder,
                                            const FindFile& find = FindBesideWithEitherSlash,
                                            Adjacency adjacency = Adjacency::kMake);
// Reads the file, then as above with the file's folder. The error names the path and the
// reason.
Result<LoadedMesh> LoadMeshFromGltf(const std::string& path,
                                    const FindFile& find = FindBesideWithEitherSlash,
                                    Adjacency adjacency = Adjacency::kMake);

}  // namespace gfx
