#pragma once
// The OBJ text and its material libraries read into one .x-style mesh record, already in the
// editor's left-handed frame, with every index checked.

#include <string>
#include <string_view>

#include "gfx/base/result.h"
#include "gfx/objfile/objfile.h"
#include "gfx/xfile/xfile_mesh_data.h"

namespace gfx::objfile {

struct ObjMesh {
    std::string name;      // the first object or group name; `data.name` is left for the caller
    xfile::MeshData data;  // one position a distinct (vertex, texture coordinate) pair
};

Result<ObjMesh> ParseObj(std::string_view text, const MtlSource& mtl);

// The folder part of a library name as the file spells it ("../mat/a.mtl" gives "../mat/"),
// and a texture name from that library as seen from the OBJ's folder.
std::string NameFolder(std::string_view name);
std::string TextureBesideObj(std::string_view mtlFolder, std::string_view texture);

}  // namespace gfx::objfile
