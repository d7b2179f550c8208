#include "model/pose_commands.h"

#include <algorithm>

namespace model {

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

void CopyOrientation(const PartTable& parts, PartIndex selected, PoseClipboards& clipboards) {
    if (!IsUsedPart(parts, selected)) return;
    clipboards.orientation = parts.node[selected].GetOrientation();
}

void PasteOrientation(PartTable& parts, PartIndex selected, const PoseClipboards& clipboards) {
    if (!IsUsedPart(parts, selected)) return;
    parts.node[selected].SetOrientation(clipboards.orientation);
}

void MirrorOrientation(PartTable& parts, PartIndex selected) {
    if (!IsUsedPart(parts, selected)) return;
    scene::TransformNode& node = parts.node[selected];
    node.SetOrientation(MirroredOrientation(node.GetOrientation()));
}

void ClearOrientation(PartTable& parts, PartIndex selected) {
    if (!IsUsedPart(parts, selected)) return;
    parts.node[selected].SetOrientation({0.0f, 0.0f, 0.0f, 1.0f});
}

void CopyPosition(const PartTable& parts, PartIndex selected, PoseClipboards& clipboards) {
    if (!IsUsedPart(parts, selected)) return;
    clipboards.position = StoredLocalPosition(parts.node[selected]);
}

void PastePosition(PartTable& parts, PartIndex selected, const PoseClipboards& clipboards) {
    if (!IsUsedPart(parts, selected)) return;
    parts.node[selected].SetLocalPosition(clipboards.position);
}

void MirrorPosition(PartTable& parts, PartIndex selected) {
    if (!IsUsedPart(parts, selected)) return;
    scene::TransformNode& node = parts.node[selected];
    gfx::Vec3 p = StoredLocalPosition(node);
    p.x = -p.x;
    node.SetLocalPosition(p);
}

void ClearPosition(PartTable& parts, PartIndex selected) {
    if (!IsUsedPart(parts, selected)) return;
    parts.node[selected].SetLocalPosition({0.0f, 0.0f, 0.0f});
}

void FetchDefaultOrientation(PartTable& parts) {
    for (int i = 0; i < UsedParts(parts); ++i) {
        parts.node[i].SetOrientation(parts.defaultOrientation[i]);
    }
}

void StoreDefaultOrientation(PartTable& parts) {
    for (int i = 0; i < UsedParts(parts); ++i) {
        parts.defaultOrientation[i] = parts.node[i].GetOrientation();
    }
}

void FetchDefaultPosition(PartTable& parts) {
    for (int i = 0; i < UsedParts(parts); ++i) {
        parts.node[i].SetPosition(parts.defaultPosition[i]);
    }
}

void StoreDefaultPosition(PartTable& parts) {
    for (int i = 0; i < UsedParts(parts); ++i) {
        parts.defaultPosition[i] = parts.node[i].GetPosition();
    }
}

}  // namespace model
