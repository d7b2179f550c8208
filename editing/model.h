#pragma once
// The open model and its structural edits: the document (the part table with the animation
// whose keys move with their parts) and the part scene built from it. Every structural edit
// captures the live pose, reorders the slots, and rebuilds every node and reloads every mesh
// from its path.

#include <memory>
#include <string>
#include <string_view>

#include "editing/edit_history.h"
#include "editing/model_host.h"
#include "editing/part_scene.h"
#include "editing/pose_commands.h"
#include "model/document.h"

namespace framework {
class TextureCache;
}

namespace editing {

// Messages of the notice box.
inline constexpr std::string_view kReadFailedMessage = "ファイルの読み込みに失敗しました。";
inline constexpr std::string_view kTableFullMessage = "パーツは100個までしか追加できません。";
inline constexpr std::string_view kPathTooLongMessage = "パスが長すぎます(255バイトまで)。";
inline constexpr std::string_view kNameTooLongMessage = "パーツ名が長すぎます(63バイトまで)。";
inline constexpr std::string_view kNoSelectionMessage = "親になるパーツを選択してください。";
inline constexpr std::string_view kBadCharacterMessage =
    "ファイル名に使えない文字が含まれています。";

class Model {
  public:
    Model(framework::TextureCache& textures, ModelHost& host) : textures_(textures), host_(host) {}
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // What the files hold; `parts` and `animation` name its two halves.
    model::Document document;
    model::PartTable& parts = document.parts;
    model::AnimationSet& animation = document.animation;
    // The nodes and meshes built from the part table, with their live pose.
    PartScene scene;
    PoseClipboards clipboards;
    EditHistory history;

    // An edit of the document or the live pose runs between BeginEdit and EndEdit: a change
    // between them becomes one history step, undone and redone as a whole; an edit that changed
    // nothing leaves no step. Edits begun inside another join it. A drag is one edit from its
    // press to its release.
    void BeginEdit();
    void EndEdit(StepKind kind = StepKind::kEdit);
    // Takes the edit under way back to where it began (Escape during a drag); no step is left.
    void CancelEdit();
    bool EditUnderWay() const { return pending_ != nullptr; }
    // Undo and Redo. Both do nothing (false) when their list is empty or an edit is under way.
    // Restoring a state with other parts rebuilds the tree and reloads the meshes (nothing is
    // selected afterwards, as after every structural edit).
    bool Undo();
    bool Redo();
    // Opening or closing a document starts a new history.
    void ClearHistory();
    // The next scale typed is a new step (the scale box was left).
    void SealHistory() { history.Seal(); }

    // Loads every used part's mesh in index order and rebuilds every used part's node from the
    // rebuild pose. Meshes stop loading at the first one that fails, after the notice naming its
    // path (false); the nodes from there on are rebuilt all the same, without a mesh to draw or
    // hit, so that every part keeps its pose.
    bool LoadAllMeshes();
    void ReleaseAllMeshes();
    // Takes every slot's live pose as the pose to rebuild with.
    void CaptureRebuildPose();
    // Exchanges everything of two slots that belongs to the part, animation keys included;
    // nodes and meshes are left to the caller's rebuild. A step of the structural edits: the
    // parent indices held by other parts are not renumbered, so the caller does that first to
    // keep the table a tree.
    void SwapParts(int a, int b);
    // Adds the .x file as the last child of the selected part (the root of an empty table), and
    // selects the new part.
    // False when refused (full table, path or name too long, a double quote, line end or NUL in
    // the path, no parent selected): nothing changed. A mesh that fails to load keeps the new
    // part in the table.
    bool AddChildPart(std::string_view meshPath);
    // Deletes the selected part with its subtree.
    void DeletePart();
    // Empties the table and the undo history and forgets the part file's folder; names, paths,
    // poses, scale and the animation keep their contents.
    void ClearParts();
    // Sets every slot's rebuild pose to identity at the origin (start-up).
    void ResetRebuildPose();

    // The table has just been read from a file: start from the default pose and load meshes.
    // On failure the table is emptied.
    bool OpenLoadedTable();
    // Empties the table and the undo history after a failed read or load, releasing any mesh,
    // and forgets the part file's folder.
    void AbandonTable();

    ModelHost& host() { return host_; }

    // The folder of the part file the model was opened from (empty for a new model, and after a
    // close or a failed open): meshes whose stored paths do not exist as written are looked up
    // there by file name.
    std::string documentFolder;

  private:
    std::unique_ptr<EditState> CaptureState() const;
    void RestoreState(const EditState& state);
    void TellHistory();
    void ClearSlot(int i);
    // Links node i to its parent's node and gives it the slot's rebuild pose.
    void RebuildNode(int i);
    framework::TextureCache& textures_;
    ModelHost& host_;
    std::unique_ptr<EditState> pending_;  // the state the edit under way began from
    int editDepth_ = 0;
};

// The file-name part of a path: the text after its last "/" or "\".
std::string_view PartNameFromPath(std::string_view path);

}  // namespace editing
