#pragma once
// The process-wide records of one run, made once at start-up: the texture cache, the model
// (part table, animation, clipboards and edit history), the editor's state between frames, the
// camera drags' nodes, what the frame reads of the tool panels, the outline's worker threads and
// the documents' record. Each test builds a fresh one.

#include <algorithm>
#include <string_view>

#include "app/core/document_record.h"
#include "app/core/editor_state.h"
#include "app/core/material_list.h"
#include "app/core/tool_panels.h"
#include "editing/model.h"
#include "framework/texture_cache.h"
#include "scene/mesh_object.h"
#include "scene/silhouette_pool.h"
#include "scene/transform_node.h"

namespace app {

class Session : public editing::ModelHost {
  public:
    Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    framework::TextureCache textures;
    editing::Model model{textures, *this};
    EditorState editor;
    // The plane the camera pans along: a huge flat box that is ray-tested, never drawn.
    scene::MeshObject panPlaneMesh;
    scene::TransformNode panPlane;
    // The orbit's rotation centre, placed at editor.OrbitCentre for each orbit step, and the
    // node that carries the camera pose as its child during that step. Neither has a mesh.
    scene::TransformNode orbitPivot;
    scene::TransformNode orbitCamera;
    // The tool panels' controls as the frame reads them; the panels keep them current.
    PanelValues panels;
    // The Material panel's rows, selection and track bars.
    MaterialList materials;
    // The threads that work out the parts' outlines while a frame draws (idle between frames);
    // joined when the session ends.
    scene::SilhouettePool silhouettes;

    // The meshes of the parts in use, in table order.
    MaterialMeshes PartMeshes() {
        return MaterialMeshes(model.scene.mesh.data(),
                              static_cast<std::size_t>(std::max<int>(model.parts.count, 0)));
    }
    // The documents' paths and what was last saved of them.
    DocumentRecord documents;

    // The panels' observer; none (nullptr) leaves them unheard. Not owned: it must outlive its
    // use by the session.
    void SetPanelObserver(PanelObserver* observer) { observer_ = observer; }
    PanelObserver& panelObserver() { return observer_ != nullptr ? *observer_ : noPanels_; }

    // Playback is on (the Animation panel's Play), and the key the Animation panel shows.
    bool playing() const { return editor.Playing; }
    int shownKey() const { return editor.ShownKey; }

    model::PartIndex SelectedPart() const override { return editor.SelectedPart; }
    void SetSelectedPart(model::PartIndex part) override { editor.SelectedPart = part; }
    void ShowMessage(std::string_view text) override;
    // A rebuilt tree ticks every part's box again.
    void PartTreeChanged(const model::PartTable& parts, bool scaleChanged) override;
    void HistoryChanged(bool canUndo, bool canRedo) override {
        panelObserver().HistoryChanged(canUndo, canRedo);
    }
    // The Animation panel shows the key's frame count again, the Part panel the scale.
    void EditRestored(bool scaleChanged) override;
    void MeshesChanged() override { panelObserver().MaterialListChanged(); }

  private:
    PanelObserver noPanels_;
    PanelObserver* observer_ = nullptr;
};

}  // namespace app
