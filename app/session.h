#pragma once
// The process-wide records of one run, made once at start-up: the texture cache, the model
// (part table and animation), the editor's state between frames and the camera's nodes. Each
// test builds a fresh one.

#include <string_view>

#include "app/editor_state.h"
#include "framework/texture_cache.h"
#include "model/model.h"
#include "scene/mesh_object.h"
#include "scene/transform_node.h"

namespace app {

class Session : public model::ModelHost {
  public:
    Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    framework::TextureCache textures;
    model::Model model{textures, *this};
    EditorState editor;
    // The plane the camera pans along: a huge flat box that is ray-tested, never drawn.
    scene::MeshObject panPlaneMesh;
    scene::TransformNode panPlane;
    // The orbit's rotation centre, kept at the world origin, and the node that carries the
    // camera pose as its child during one orbit step. Neither has a mesh.
    scene::TransformNode orbitPivot;
    scene::TransformNode orbitCamera;

    model::PartIndex SelectedPart() const override { return editor.SelectedPart; }
    void SetSelectedPart(model::PartIndex part) override { editor.SelectedPart = part; }
    void ShowMessage(std::string_view text) override;
    void PartTreeChanged(const model::PartTable&) override {}
    void ClearUndoHistory() override {}
};

}  // namespace app
