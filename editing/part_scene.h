#pragma once
// What the editor draws and poses for the open document: a transform node and a mesh object per
// part slot, the meshes already read, and the pose the next rebuild gives the nodes. Built from
// the document (editing/model.h) and never saved: the live pose reaches the document only through
// the commands that store a key or a default pose.

#include <array>

#include "gfx/math/math_types.h"
#include "model/limits.h"
#include "scene/mesh_cache.h"
#include "scene/mesh_object.h"
#include "scene/transform_node.h"

namespace editing {

struct PartScene {
    std::array<scene::TransformNode, model::kMaxParts> node;
    std::array<scene::MeshObject, model::kMaxParts> mesh;
    // The pose each slot's node is rebuilt with after a structural edit or an open.
    std::array<gfx::Vec3, model::kMaxParts> rebuildPosition{};
    std::array<gfx::Quat, model::kMaxParts> rebuildOrientation{};
    // The meshes the last reload used: an edit that reloads every part reads only the files
    // that changed since.
    scene::MeshCache meshes;
};

}  // namespace editing
