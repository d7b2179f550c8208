#pragma once
// The process-wide records of one run, made once at start-up: the texture cache, the model
// (part table and animation), the editor's selection and the camera's pan plane. Each test
// builds a fresh one.

#include <string_view>

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
    model::PartIndex selectedPart = model::kNoPart;
    // The plane the camera pans along: a huge flat box that is ray-tested, never drawn.
    scene::MeshObject panPlaneMesh;
    scene::TransformNode panPlane;

    model::PartIndex SelectedPart() const override { return selectedPart; }
    void SetSelectedPart(model::PartIndex part) override { selectedPart = part; }
    void ShowMessage(std::string_view text) override;
    void PartTreeChanged(const model::PartTable&) override {}
    void ClearUndoHistory() override {}
};

}  // namespace app
