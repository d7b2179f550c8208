#include "editing/model.h"

#include <string>
#include <utility>
#include <vector>

#include "framework/asset_paths.h"
#include "framework/display_text.h"
#include "framework/texture_cache.h"

namespace editing {

using model::kMaxKeys;
using model::kMaxParts;
using model::kNoPart;
using model::PartIndex;
using model::PartTable;

namespace {
constexpr gfx::Vec3 kOrigin{0, 0, 0};
constexpr gfx::Quat kIdentity{0, 0, 0, 1};

// The documents hold paths and names between double quotes, on one line, in NUL-terminated
// fields: a path with any of these bytes could never be saved.
bool HoldsUnstorableCharacter(std::string_view path) {
    return path.find_first_of(std::string_view("\"\r\n\0", 4)) != std::string_view::npos;
}
}  // namespace

std::string_view PartNameFromPath(std::string_view path) {
    return framework::FileNamePart(path);
}

void Model::ReleaseAllMeshes() {
    for (auto& mesh : scene.mesh) mesh.Release();
}

bool Model::LoadAllMeshes() {
    ReleaseAllMeshes();
    scene.meshes.BeginRound();
    std::vector<std::string> found;
    for (int i = 0; i < parts.count; ++i) {
        found.push_back(framework::LookUpBeside(parts.Path(i), documentFolder));
    }
    // The files are read and prepared side by side; each part takes its own in part order, so the
    // log, the notices and the textures come as they would one file after another. Colour key
    // none, outline data built, one mip level.
    scene::MeshBatch batch(found, true, &scene.meshes);
    bool loaded = true;
    for (int i = 0; i < parts.count; ++i) {
        if (loaded) {
            const gfx::Status read = scene.mesh[i].LoadFromFile(
                textures_, found[static_cast<std::size_t>(i)], 0, true, 1, &scene.meshes, &batch);
            if (!read) {
                host_.ShowMessage(std::string(kReadFailedMessage) + "\r" +
                                  framework::DisplayText(parts.Path(i)) + "\r" + read.error());
                loaded = false;
            }
        }
        // A node bound to an empty mesh object is neither drawn nor hit, but its pose is live:
        // the next edit and every key stored read it.
        RebuildNode(i);
    }
    scene.meshes.EndRound();  // files no part uses any more are let go
    return loaded;
}

void Model::RebuildNode(int i) {
    scene::TransformNode& node = scene.node[i];
    if (i == 0) {
        node.parent = nullptr;
        node.Bind(scene.mesh[0], scene.rebuildPosition[0], parts.scale);
        node.SetOrientation(scene.rebuildOrientation[0]);
    } else {
        node.parent = &scene.node[parts.parent[i]];
        node.Bind(scene.mesh[i], kOrigin, 1.0f);
        node.SetPosition(scene.rebuildPosition[i]);
        node.SetOrientation(scene.rebuildOrientation[i]);
    }
}

void Model::CaptureRebuildPose() {
    for (int i = 0; i < kMaxParts; ++i) {
        scene.rebuildOrientation[i] = scene.node[i].GetOrientation();
        scene.rebuildPosition[i] = scene.node[i].GetPosition();
    }
}

void Model::ResetRebuildPose() {
    scene.rebuildOrientation.fill(kIdentity);
    scene.rebuildPosition.fill(kOrigin);
}

void Model::SwapParts(int a, int b) {
    std::swap(parts.path[a], parts.path[b]);
    std::swap(parts.name[a], parts.name[b]);
    std::swap(parts.parent[a], parts.parent[b]);
    std::swap(parts.level[a], parts.level[b]);
    for (int k = 0; k < kMaxKeys; ++k) {
        std::swap(animation.keyOrientation[k][a], animation.keyOrientation[k][b]);
        std::swap(animation.keyPosition[k][a], animation.keyPosition[k][b]);
    }
    std::swap(parts.defaultPosition[a], parts.defaultPosition[b]);
    std::swap(parts.defaultOrientation[a], parts.defaultOrientation[b]);
    std::swap(scene.rebuildOrientation[a], scene.rebuildOrientation[b]);
    std::swap(scene.rebuildPosition[a], scene.rebuildPosition[b]);
}

void Model::ClearSlot(int i) {
    parts.level[i] = 0;
    parts.parent[i] = 0;
    parts.path[i].fill('\0');
    parts.name[i].fill('\0');
    parts.defaultPosition[i] = kOrigin;
    parts.defaultOrientation[i] = kIdentity;
    scene.rebuildOrientation[i] = kIdentity;
    scene.rebuildPosition[i] = kOrigin;
    for (int k = 0; k < kMaxKeys; ++k) {
        animation.keyOrientation[k][i] = kIdentity;
        animation.keyPosition[k][i] = kOrigin;
    }
}

bool Model::AddChildPart(std::string_view meshPath) {
    const std::string_view partName = PartNameFromPath(meshPath);
    if (parts.count >= kMaxParts) {
        host_.ShowMessage(kTableFullMessage);
        return false;
    }
    if (meshPath.size() >= model::kPathField) {
        host_.ShowMessage(std::string(kPathTooLongMessage) + "\r" + std::string(meshPath));
        return false;
    }
    if (partName.size() >= model::kNameField) {
        host_.ShowMessage(std::string(kNameTooLongMessage) + "\r" + std::string(partName));
        return false;
    }
    if (HoldsUnstorableCharacter(meshPath)) {
        host_.ShowMessage(std::string(kBadCharacterMessage) + "\r" + std::string(meshPath));
        return false;
    }
    const PartIndex selected = host_.SelectedPart();
    if (parts.count > 0 && (selected < 0 || selected >= parts.count)) {
        host_.ShowMessage(kNoSelectionMessage);
        return false;
    }

    CaptureRebuildPose();
    PartIndex parentIndex = kNoPart;
    std::int16_t newLevel = 0;
    int b = 0;
    if (parts.count > 0) {
        parentIndex = selected;
        newLevel = static_cast<std::int16_t>(parts.level[selected] + 1);
        b = parts.count;
        for (int k = selected + 1; k < parts.count; ++k) {
            if (parts.level[k] < newLevel) {
                b = k;
                break;
            }
        }
    }
    for (int i = 0; i < parts.count; ++i) {
        if (parts.parent[i] >= b) ++parts.parent[i];
    }
    for (int k = parts.count; k > b; --k) SwapParts(k, k - 1);

    ClearSlot(b);
    PartTable::SetField(parts.path[b], meshPath);
    PartTable::SetField(parts.name[b], partName);
    parts.parent[b] = parentIndex;
    parts.level[b] = newLevel;
    ++parts.count;

    LoadAllMeshes();  // a failure has shown its own notice; the part stays
    host_.SetSelectedPart(kNoPart);
    host_.PartTreeChanged(parts, false);
    host_.MeshesChanged();
    // The new part is what the user works on next: it ends selected (the rebuilt tree selected
    // nothing).
    host_.SetSelectedPart(static_cast<PartIndex>(b));
    return true;
}

void Model::DeletePart() {
    const PartIndex s = host_.SelectedPart();
    if (s < 0 || s >= parts.count) return;
    CaptureRebuildPose();
    ReleaseAllMeshes();
    int e = s;
    while (e + 1 < parts.count && parts.level[e + 1] > parts.level[s]) ++e;
    const int n = e - s + 1;
    for (int i = 0; i < parts.count; ++i) {
        if (parts.parent[i] > e) parts.parent[i] = static_cast<PartIndex>(parts.parent[i] - n);
    }
    for (int k = 0; k <= parts.count - e - 2; ++k) SwapParts(s + k, e + 1 + k);
    for (int i = parts.count - n; i < parts.count; ++i) ClearSlot(i);
    parts.count = static_cast<std::int16_t>(parts.count - n);
    if (s == 0) parts.scale = 1.0f;

    LoadAllMeshes();
    host_.SetSelectedPart(kNoPart);
    host_.PartTreeChanged(parts, false);
    host_.MeshesChanged();
}

void Model::ClearParts() {
    AbandonTable();
}

bool Model::OpenLoadedTable() {
    ClearHistory();
    scene.rebuildOrientation = parts.defaultOrientation;
    scene.rebuildPosition = parts.defaultPosition;
    // The tree and the scale show before the meshes load; the rebuilt tree selects nothing.
    host_.SetSelectedPart(kNoPart);
    host_.PartTreeChanged(parts, true);
    if (!LoadAllMeshes()) {
        AbandonTable();
        return false;
    }
    host_.MeshesChanged();
    return true;
}

void Model::AbandonTable() {
    ReleaseAllMeshes();
    scene.meshes.Clear();
    parts.count = 0;
    documentFolder.clear();
    host_.SetSelectedPart(kNoPart);
    ClearHistory();
    host_.PartTreeChanged(parts, false);
    host_.MeshesChanged();
}

std::unique_ptr<EditState> Model::CaptureState() const {
    auto state = std::make_unique<EditState>();
    state->document = document;
    for (int i = 0; i < kMaxParts; ++i) {
        state->local[i] = scene.node[i].local;
        state->scale[i] = scene.node[i].scale;
    }
    return state;
}

namespace {
// The tree and the meshes follow the parts' names, paths and links, not their poses.
bool SameParts(const PartTable& a, const PartTable& b) {
    return a.count == b.count && a.name == b.name && a.path == b.path && a.parent == b.parent &&
           a.level == b.level;
}
}  // namespace

void Model::RestoreState(const EditState& state) {
    const bool rebuild = !SameParts(parts, state.document.parts);
    const bool scaleChanged = parts.scale != state.document.parts.scale;
    document = state.document;
    if (rebuild) LoadAllMeshes();  // links the nodes afresh; their poses are set just below
    for (int i = 0; i < kMaxParts; ++i) {
        scene.node[i].local = state.local[i];
        scene.node[i].scale = state.scale[i];
    }
    if (rebuild) {
        host_.SetSelectedPart(kNoPart);
        host_.PartTreeChanged(parts, scaleChanged);
        host_.MeshesChanged();
    }
    host_.EditRestored(scaleChanged);
}

void Model::TellHistory() {
    host_.HistoryChanged(history.CanUndo(), history.CanRedo());
}

void Model::BeginEdit() {
    if (editDepth_++ == 0) pending_ = CaptureState();
}

void Model::EndEdit(StepKind kind) {
    if (editDepth_ == 0 || --editDepth_ > 0) return;
    std::unique_ptr<EditState> before = std::move(pending_);
    if (before == nullptr || before->SameAs(*CaptureState())) return;
    history.Record(std::move(before), kind);
    TellHistory();
}

void Model::CancelEdit() {
    if (pending_ == nullptr) return;
    RestoreState(*pending_);
    pending_.reset();
    editDepth_ = 0;
}

bool Model::Undo() {
    if (EditUnderWay() || !history.CanUndo()) return false;
    RestoreState(*history.TakeUndo(CaptureState()));
    TellHistory();
    return true;
}

bool Model::Redo() {
    if (EditUnderWay() || !history.CanRedo()) return false;
    RestoreState(*history.TakeRedo(CaptureState()));
    TellHistory();
    return true;
}

void Model::ClearHistory() {
    history.Clear();
    pending_.reset();
    editDepth_ = 0;
    TellHistory();
}

}  // namespace editing
