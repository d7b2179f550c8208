#pragma once
// Reading a mesh file and making it ready to draw: everything of a load that needs neither the
// texture cache, the device nor the debug log, so that any thread may do it, one file a call.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gfx/mesh/mesh.h"
#include "scene/mesh_cache.h"

namespace scene {

// What reading and preparing one file gave: the mesh, or why there is none.
struct PreparedFile {
    std::shared_ptr<const PreparedMesh> mesh;  // null on failure
    // The reader's reason, starting with the path, when the file could not be read.
    std::optional<std::string> readError;
    // When the file was read but the mesh could not be made ready: the debug log lines that say
    // why, in order (a failed optimisation first, when that happened too), and the file's
    // materials (their textures are looked up all the same).
    std::string prepareLog;
    std::vector<gfx::ExtendedMaterial> materials;
};

// Reads `path` and prepares its mesh as MeshObject::LoadFromFile draws it: reduced to the
// outline's format and given outline data when `buildOutline`, bounded, optimised, with a pick
// tree.
PreparedFile ReadAndPrepareMeshFile(const std::string& path, bool buildOutline);

}  // namespace scene
