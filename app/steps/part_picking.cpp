#include "app/steps/part_picking.h"

#include <algorithm>

#include "gfx/math/math.h"

namespace app {

void PickPart(EditorState& state, const model::PartTable& parts, const editing::PartScene& scene,
              const PanelValues& panels, const ClientView& view, framework::PixelPoint cursor,
              PanelObserver& observer) {
    state.DragAnchor = cursor;
    const Ray ray = PointerRay(view, cursor);
    state.SelectedPart = model::kNoPart;
    float best = kPickRange;
    // The count comes from files: never walk past the table.
    const int count = std::clamp<int>(parts.count, 0, model::kMaxParts);
    for (int i = 0; i < count; ++i) {
        if (!panels.IsPartVisible(i)) continue;
        gfx::Vec3 hit;
        if (!scene.node[static_cast<std::size_t>(i)].RayHit(ray.origin, ray.direction, hit)) {
            continue;
        }
        const float distance = gfx::Vec3Length(ray.origin - hit);
        // Strict: of two hits at the same distance the lower index stays.
        if (distance < best) {
            best = distance;
            state.SelectedPart = static_cast<model::PartIndex>(i);
        }
    }
    observer.SelectionChanged(state.SelectedPart);
}

}  // namespace app
