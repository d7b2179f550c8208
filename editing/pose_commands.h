#pragma once
// The Part panel's pose editing commands: copy, paste, left-right mirror and clear of the
// selected part's orientation or position, and moving the whole model between its live pose and
// its default pose. None of them records an undo entry.
//
// The single-part commands change only the selected part (its children follow through the
// hierarchy) and do nothing without a selection. Orientations go through the node's
// get-orientation and set-orientation; positions are the node's stored local position, read and
// written as they are, without the parent-scale conversion of get-position and set-position.

#include "editing/part_scene.h"
#include "gfx/math/math_types.h"
#include "model/limits.h"
#include "model/part_table.h"

namespace editing {

// The two clipboards, independent of each other. They keep their contents until the next copy:
// opening, closing or editing the model leaves them alone.
struct PoseClipboards {
    gfx::Quat orientation{0.0f, 0.0f, 0.0f, 1.0f};
    gfx::Vec3 position{0.0f, 0.0f, 0.0f};

    // Identity and the origin, as at start-up.
    void Reset() { *this = PoseClipboards{}; }
};

// Reflection in the plane x = 0: (x, y, z, w) becomes (-x, y, z, -w), the same rotation as
// (x, -y, -z, w).
constexpr gfx::Quat MirroredOrientation(gfx::Quat q) {
    return {-q.x, q.y, q.z, -q.w};
}

// Single-part commands on the part scene's nodes. `selected` is the selection (-1 = none); a
// value that is not a used part of the table does nothing.
void CopyOrientation(const model::PartTable& parts, const PartScene& scene,
                     model::PartIndex selected, PoseClipboards& clipboards);
void PasteOrientation(const model::PartTable& parts, PartScene& scene, model::PartIndex selected,
                      const PoseClipboards& clipboards);
void MirrorOrientation(const model::PartTable& parts, PartScene& scene, model::PartIndex selected);
void ClearOrientation(const model::PartTable& parts, PartScene& scene, model::PartIndex selected);
void CopyPosition(const model::PartTable& parts, const PartScene& scene, model::PartIndex selected,
                  PoseClipboards& clipboards);
void PastePosition(const model::PartTable& parts, PartScene& scene, model::PartIndex selected,
                   const PoseClipboards& clipboards);
// Negates x of the stored local position; y and z stay.
void MirrorPosition(const model::PartTable& parts, PartScene& scene, model::PartIndex selected);
void ClearPosition(const model::PartTable& parts, PartScene& scene, model::PartIndex selected);

// Default pose commands over every used part; an empty table does nothing. Fetching changes
// only the one component of the live pose; storing changes only the default arrays, no node.
void FetchDefaultOrientation(const model::PartTable& parts, PartScene& scene);
void StoreDefaultOrientation(model::PartTable& parts, const PartScene& scene);
void FetchDefaultPosition(const model::PartTable& parts, PartScene& scene);
void StoreDefaultPosition(model::PartTable& parts, const PartScene& scene);
// Both at once: the whole live pose becomes the default pose.
void StoreDefaultPose(model::PartTable& parts, const PartScene& scene);
// Whether some used part's live orientation or position is not its default one (the same
// rotation written with the opposite sign, and differences of float rounding, count as equal).
bool PoseDiffersFromDefaults(const model::PartTable& parts, const PartScene& scene);

}  // namespace editing
