#pragma once
// The open model and its structural edits: the part table with the animation whose keys move
// with their parts. Every structural edit captures the live pose, reorders the slots, and
// rebuilds every node and reloads every mesh from its path.

#include <string>
#include <string_view>

#include "model/animation_set.h"
#include "model/model_host.h"
#include "model/part_table.h"

namespace framework {
class TextureCache;
}

namespace model {

// Messages of the notice box.
inline constexpr std::string_view kReadFailedMessage = "ファイルの読み込みに失敗しました。";
inline constexpr std::string_view kTableFullMessage = "パーツは100個までしか追加できません。";
inline constexpr std::string_view kPathTooLongMessage =
    "パスが長すぎます(255バイトまで)。";
inline constexpr std::string_view kNameTooLongMessage =
    "パーツ名が長すぎます(63バイトまで)。";
inline constexpr std::string_view kNoSelectionMessage = "親になるパーツを選択してください。";

class Model {
public:
    Model(framework::TextureCache& textures, ModelHost& host) : textures_(textures), host_(host) {}
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    PartTable parts;
    AnimationSet animation;

    // Loads every used part's mesh in index order and rebuilds its node from the rebuild pose.
    // Stops at the first mesh that fails, after the notice naming its path.
    bool LoadAllMeshes();
    void ReleaseAllMeshes();
    // Takes every slot's live pose as the pose to rebuild with.
    void CaptureRebuildPose();
    // Exchanges everything of two slots that belongs to the part, animation keys included;
    // nodes and meshes are left to the caller's rebuild.
    void SwapParts(int a, int b);
    // Adds the .x file as the last child of the selected part (the root of an empty table).
    // False when refused (full table, path or name too long, no parent selected): nothing
    // changed. A mesh that fails to load keeps the new part in the table.
    bool AddChildPart(std::string_view meshPath);
    // Deletes the selected part with its subtree.
    void DeletePart();
    // Empties the table; names, paths, poses, scale and the animation keep their contents.
    void ClearParts();
    // Sets every slot's rebuild pose to identity at the origin (start-up).
    void ResetRebuildPose();

    // The table has just been read from a file: start from the default pose and load meshes.
    // On failure the table is emptied.
    bool OpenLoadedTable();
    // Empties the table after a failed read or load.
    void AbandonTable();

    ModelHost& host() { return host_; }

    // The folder of the part file the model was opened from (empty for a new model): meshes
    // whose stored paths do not exist as written are looked up there by file name.
    std::string documentFolder;

private:
    void ClearSlot(int i);
    framework::TextureCache& textures_;
    ModelHost& host_;
};

// The file-name part of a path: the text after its last "/" or "\".
std::string_view PartNameFromPath(std::string_view path);

}  // namespace model
