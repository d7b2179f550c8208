#pragma once
// A left click in the 3D view selects the nearest visible part under the cursor, or clears the
// selection when no visible part is hit. The Part panel hears of every pick, hit or not.

#include "app/editor_state.h"
#include "app/panel_states.h"
#include "app/view_geometry.h"
#include "model/part_table.h"

namespace app {

// Hits at this distance from the camera or farther never select.
inline constexpr float kPickRange = 10000.0f;

// What picking tells the Part panel: the selection may have changed, so its tree follows it.
class SelectionNotice {
  public:
    virtual ~SelectionNotice() = default;
    virtual void SelectionPicked() = 0;
};

// For as long as there is no Part panel: the notice changes nothing.
class NoSelectionNotice : public SelectionNotice {
  public:
    void SelectionPicked() override {}
};

// Remembers the cursor as the drag anchor, selects the visible part whose mesh the pointer ray
// hits nearest to the camera (of equal distances the lower index), and sends the notice. Parts
// without a loaded mesh are never hit.
void PickPart(EditorState& state, const model::PartTable& parts, const PanelStates& panels,
              const ClientView& view, framework::PixelPoint cursor, SelectionNotice& notice);

}  // namespace app
