#include "editing/pose_commands.h"

#include <algorithm>
#include <cmath>

#include "gfx/math/math.h"

namespace editing {

using model::kMaxParts;
using model::PartIndex;
using model::PartTable;

namespace {

// The count comes from files: never walk past the table.
int UsedParts(const PartTable& parts) {
    return std::clamp<int>(parts.count, 0, kMaxParts);
}

bool IsUsedPart(const PartTable& parts, PartIndex part) {
    return part >= 0 && part < UsedParts(parts);
}

// The translation row of the node's local matrix: the position in the parent's frame, unscaled.
gfx::Vec3 StoredLocalPosition(const scene::TransformNode& node) {
    return {node.local.m[3][0], node.local.m[3][1], node.local.m[3][2]};
}

}  // namespace

void CopyOrientation(const PartTable& parts, const PartScene& scene, PartIndex selected,
                     PoseClipboards& clipboards) {
    if (!IsUsedPart(parts, selected)) return;
    clipboards.orientation = scene.node[selected].GetOrientation();
}

void PasteOrientation(const PartTable& parts, PartScene& scene, PartIndex selected,
                      const PoseClipboards& clipboards) {
    if (!IsUsedPart(parts, selected)) return;
    scene.node[selected].SetOrientation(clipboards.orientation);
}

void MirrorOrientation(const PartTable& parts, PartScene& scene, PartIndex selected) {
    if (!IsUsedPart(parts, selected)) return;
    scene::TransformNode& node = scene.node[selected];
    node.SetOrientation(MirroredOrientation(node.GetOrientation()));
}

void ClearOrientation(const PartTable& parts, PartScene& scene, PartIndex selected) {
    if (!IsUsedPart(parts, selected)) return;
    scene.node[selected].SetOrientation({0.0f, 0.0f, 0.0f, 1.0f});
}

void CopyPosition(const PartTable& parts, const PartScene& scene, PartIndex selected,
                  PoseClipboards& clipboards) {
    if (!IsUsedPart(parts, selected)) return;
    clipboards.position = StoredLocalPosition(scene.node[selected]);
}

void PastePosition(const PartTable& parts, PartScene& scene, PartIndex selected,
                   const PoseClipboards& clipboards) {
    if (!IsUsedPart(parts, selected)) return;
    scene.node[selected].SetLocalPosition(clipboards.position);
}

void MirrorPosition(const PartTable& parts, PartScene& scene, PartIndex selected) {
    if (!IsUsedPart(parts, selected)) return;
    scene::TransformNode& node = scene.node[selected];
    gfx::Vec3 p = StoredLocalPosition(node);
    p.x = -p.x;
    node.SetLocalPosition(p);
}

void ClearPosition(const PartTable& parts, PartScene& scene, PartIndex selected) {
    if (!IsUsedPart(parts, selected)) return;
    scene.node[selected].SetLocalPosition({0.0f, 0.0f, 0.0f});
}

void FetchDefaultOrientation(const PartTable& parts, PartScene& scene) {
    for (int i = 0; i < UsedParts(parts); ++i) {
        scene.node[i].SetOrientation(parts.defaultOrientation[i]);
    }
}

void StoreDefaultOrientation(PartTable& parts, const PartScene& scene) {
    for (int i = 0; i < UsedParts(parts); ++i) {
        parts.defaultOrientation[i] = scene.node[i].GetOrientation();
    }
}

void FetchDefaultPosition(const PartTable& parts, PartScene& scene) {
    for (int i = 0; i < UsedParts(parts); ++i) {
        scene.node[i].SetPosition(parts.defaultPosition[i]);
    }
}

void StoreDefaultPosition(PartTable& parts, const PartScene& scene) {
    for (int i = 0; i < UsedParts(parts); ++i) {
        parts.defaultPosition[i] = scene.node[i].GetPosition();
    }
}

void StoreDefaultPose(PartTable& parts, const PartScene& scene) {
    StoreDefaultOrientation(parts, scene);
    StoreDefaultPosition(parts, scene);
}

bool PoseDiffersFromDefaults(const PartTable& parts, const PartScene& scene) {
    constexpr float kTolerance = 1e-5f;
    for (int i = 0; i < UsedParts(parts); ++i) {
        const gfx::Quat q = scene.node[i].GetOrientation();
        // q and -q are the same rotation; a NaN anywhere counts as a difference.
        if (!(std::fabs(gfx::QuaternionDot(q, parts.defaultOrientation[i])) >= 1.0f - kTolerance)) {
            return true;
        }
        const gfx::Vec3 p = scene.node[i].GetPosition();
        const gfx::Vec3 d = parts.defaultPosition[i];
        const float scale = std::max({1.0f, std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
        if (!(std::fabs(p.x - d.x) <= kTolerance * scale &&
              std::fabs(p.y - d.y) <= kTolerance * scale &&
              std::fabs(p.z - d.z) <= kTolerance * scale)) {
            return true;
        }
    }
    return false;
}

}  // namespace editing
