#pragma once
// What the Part panel does, without its window: each command of its menu bar and its Undo and
// Redo buttons run against the session, which commands are offered, the scale box's input filter
// and the scale's text. The panel forwards its commands here and owns the file dialogs: a command
// that needs a file asks the caller for it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/commands/part_panel_rules.h"
#include "app/core/session.h"
#include "model/limits.h"

namespace app {

// The command with that id; none for any other id.
std::optional<PartPanelCommand> PartPanelCommandFromId(int id);

inline constexpr std::string_view kPartFileDescription = "Posewrighter Part File";
inline constexpr std::string_view kPartFileExtension = "pwp";
inline constexpr std::string_view kMeshFileDescription = "Direct3D Object";
inline constexpr std::string_view kMeshFileExtension = "x";
inline constexpr std::string_view kObjFileDescription = "Wavefront OBJ";
inline constexpr std::string_view kObjFileExtension = "obj";
inline constexpr std::string_view kGltfFileDescription = "glTF 2.0";
// A type's extensions, separated by spaces: the dialog offers each.
inline constexpr std::string_view kGltfFileExtensions = "gltf glb";
inline constexpr std::string_view kPartFileWrittenMessage = "パーツ情報を書み込みました。";
// Asked before a part file is saved when the view's pose is not the stored default pose and no
// animation key is in use.
inline constexpr std::string_view kStorePoseQuestion =
    "表示中のポーズが初期位置/姿勢と違います。パーツファイルに保存されるのは初期位置/姿勢です。\r"
    "保存する前に、表示中のポーズを初期位置/姿勢としてセットしますか?\r"
    "Yes: セットしてから保存　No: そのまま保存　Cancel: 保存しない";
// The scale box holds at most this many characters.
inline constexpr int kScaleBoxLimit = 10;

// The kinds of file the dialogs ask for; each remembers the folder it was last chosen from.
enum class FileKind : std::int8_t { kPart, kAnimation, kMesh };

// A kind of file a dialog offers: its description and extension.
struct FileType {
    std::string_view description;
    std::string_view extension;
};

// The file a command asks for: an open or a save dialog with its type's description and
// extension (the one added to a name typed without one). An open dialog may offer more types,
// and then also all of them at once and all files. A save dialog starts from `startPath`, the
// document's own path, when there is one. Otherwise the dialog starts in `documentFolder`, the
// folder of the document it concerns; or, without one, in the folder last used for `kind`; or,
// failing that, in `fallbackFolder`.
struct FileRequest {
    std::string_view description;
    std::string_view extension;
    std::vector<FileType> moreTypes;
    bool save = false;
    std::string startPath;
    FileKind kind = FileKind::kPart;
    std::string documentFolder;
    std::string fallbackFolder;
};

// The requests of the Part panel's dialogs. A part file's dialogs concern the open model's file;
// a mesh's go where the last mesh came from, else beside the part file.
FileRequest PartFileRequest(const Session& session, bool save);
FileRequest MeshFileRequest(const Session& session);

// Where the dialog starts, as FileRequest says, given the folder last used for its kind (empty
// when none); empty for the working folder.
std::string DialogStartFolder(const FileRequest& request, std::string_view lastUsed);

// The settings that keep the folder last used for each kind of file.
inline constexpr std::string_view kFileDialogSection = "FILE_DIALOG";
std::string_view FolderSettingKey(FileKind kind);
// The caller's dialog: the chosen path, or none when the user cancelled.
using ChooseFile = std::function<std::optional<std::string>(const FileRequest&)>;

// Runs the command when PartCommandRuns allows it. Open and close first have the Material panel
// store its settings; open, save as and add ask `chooseFile` and stop when nothing was chosen;
// save writes to the part file's own path (session.documents.modelPath) without asking, and
// asks as save as does only when there is none. Both first offer to store a live pose other than
// the defaults (kStorePoseQuestion). A save tells the user whether it wrote. Open, save and close
// note in the session's document record what the part file now matches. The tree, the Undo
// button and the material list hear of their changes through the session's panel observer.
// False when the condition did not hold (nothing was done).
bool RunPartPanelCommand(Session& session, PartPanelCommand command, const ChooseFile& chooseFile);

// Which commands the menu bar and the Undo button offer (PartCommandOffered).
struct PartMenuState {
    PartPanelFacts facts;

    bool Enabled(PartPanelCommand command) const { return PartCommandOffered(command, facts); }
};

PartMenuState MenuState(model::PartIndex selected, int count, bool canUndo, bool canRedo);
PartMenuState MenuState(const Session& session);

// The scale box's text after its filter: only the digits and the first decimal point are kept.
struct ScaleBoxText {
    std::string text;
    bool dropped = false;  // a character was removed: the box takes `text` back
    int caret = 0;         // where the caret goes when something was dropped
    bool refused = false;  // the number cannot be saved: the box shows the scale kept
};

// Said when the scale box holds a number above zero too small for the part file to hold.
inline constexpr std::string_view kScaleTooSmallMessage =
    "スケールが小さすぎます。0.000001 "
    "未満はパーツファイルに保存できないため、前のスケールのままです。";

// Filters the text; `selectionEnd` is the end of the box's selection before the change, and
// the caret goes one place before it (never before the start or past the end).
ScaleBoxText FilterScaleText(std::string_view text, int selectionEnd);

// The scale box's text changed: filters it and, when the number it holds is above 0, makes it
// the model's scale, and the root node's when there are parts. An empty text, a zero or a lone
// decimal point changes nothing. A number the part file cannot hold is refused with a notice,
// keeping the scale as it was. The changes until the box is left are one history step.
ScaleBoxText ScaleInput(Session& session, std::string_view text, int selectionEnd);

// The scale box lost the keyboard: what it shows now (ScaleText); the next number typed is a
// new history step.
std::string ScaleBoxLeft(Session& session);

// The scale as the box shows it: six decimals without trailing zeros or a trailing point
// (1 -> "1", 0.25 -> "0.25"), always with a '.' whatever the locale.
std::string ScaleText(float scale);

}  // namespace app
