#pragma once
// A left click in the 3D view selects the nearest visible part under the cursor, or clears the
// selection when no visible part is hit. The Part panel hears of every pick, hit or not, so its
// tree follows.

#include "app/core/editor_state.h"
#include "app/core/tool_panels.h"
#include "app/steps/view_geometry.h"
#include "editing/part_scene.h"
#include "model/part_table.h"

namespace app {

// Hits at this distance from the camera or farther never select.
inline constexpr float kPickRange = 10000.0f;

// Remembers the cursor as the drag anchor, selects the visible part whose mesh the pointer ray
// hits nearest to the camera (of equal distances the lower index), and tells the panels the
// selection. Parts without a loaded mesh are never hit.
void PickPart(EditorState& state, const model::PartTable& parts, const editing::PartScene& scene,
              const PanelValues& panels, const ClientView& view, framework::PixelPoint cursor,
              PanelObserver& observer);

}  // namespace app
