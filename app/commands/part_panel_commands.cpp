#include "app/commands/part_panel_commands.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <system_error>
#include <vector>

#include "app/commands/typed_numbers.h"
#include "app/core/documents.h"
#include "editing/pose_commands.h"
#include "files/mesh_paths.h"
#include "files/part_file.h"
#include "framework/asset_paths.h"
#include "framework/notice.h"

namespace app {

namespace {

using Command = PartPanelCommand;

// Only the default pose is saved: a model posed by dragging would be saved with every part where
// it was before. With no key in use (the pose is then the model's own, not a key's) and a live
// pose other than the defaults, the user chooses: store it first (one history step), save as is,
// or not save. False when cancelled.
bool OfferPoseAsDefault(Session& session) {
    editing::Model& model = session.model;
    if (model.animation.KeysInUse() > 0 ||
        !editing::PoseDiffersFromDefaults(model.parts, model.scene)) {
        return true;
    }
    switch (framework::AskQuestion(kStorePoseQuestion)) {
        case framework::Answer::kYes:
            model.BeginEdit();
            editing::StoreDefaultPose(model.parts, model.scene);
            model.EndEdit();
            return true;
        case framework::Answer::kNo:
            return true;
        case framework::Answer::kCancel:
            return false;
    }
    return false;
}

void OpenPartFile(Session& session, const ChooseFile& chooseFile) {
    session.panelObserver().StoreMaterialSettings();
    const auto path = chooseFile(PartFileRequest(session, false));
    if (!path) return;
    // A failed open leaves an empty table, which matches no file.
    const bool opened = app::OpenPartFile(session.model, *path);
    NoteModelSaved(session, opened ? *path : std::string());
}

// Writes the part file to `path` and tells the user how it went.
void WritePartFileTo(Session& session, const std::string& path) {
    // Saved into another folder, relative mesh paths are written from there, so that the file
    // opens the same meshes; the open model takes them too, as it now belongs there.
    editing::Model& model = session.model;
    const std::string folder = framework::FolderOf(path);
    const std::vector<std::string> previous = files::ReplaceMeshPaths(
        model.parts, files::MeshPathsFor(model.parts, model.documentFolder, folder));
    const gfx::Status written = files::WritePartFile(path, model.parts);
    if (written) {
        model.documentFolder = folder;
        NoteModelSaved(session, path);
    } else {
        files::ReplaceMeshPaths(model.parts, previous);
    }
    session.ShowMessage(written ? kPartFileWrittenMessage : std::string_view(written.error()));
}

// Save As: always the dialog, starting from the file's own path.
void SavePartFileAs(Session& session, const ChooseFile& chooseFile) {
    if (!OfferPoseAsDefault(session)) return;
    const auto path = chooseFile(PartFileRequest(session, true));
    if (path) WritePartFileTo(session, *path);
}

// Save: back to the file's own path; a model that has none yet asks as Save As does.
void SavePartFile(Session& session, const ChooseFile& chooseFile) {
    if (session.documents.modelPath.empty()) {
        SavePartFileAs(session, chooseFile);
    } else if (OfferPoseAsDefault(session)) {
        WritePartFileTo(session, session.documents.modelPath);
    }
}

void AddChildPart(Session& session, const ChooseFile& chooseFile) {
    const auto path = chooseFile(MeshFileRequest(session));
    if (!path) return;
    session.model.BeginEdit();
    const bool added = session.model.AddChildPart(*path);
    session.model.EndEdit();
    // The tree shows the new part selected.
    if (added) session.panelObserver().SelectionChanged(session.editor.SelectedPart);
}

// The number the filtered text holds; 0 for an empty text or a lone decimal point.
float ScaleValue(std::string_view text) {
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} ? value : 0.0f;
}

}  // namespace

FileRequest PartFileRequest(const Session& session, bool save) {
    const std::string& path = session.documents.modelPath;
    FileRequest request;
    request.description = kPartFileDescription;
    request.extension = kPartFileExtension;
    request.save = save;
    if (save) request.startPath = path;
    request.kind = FileKind::kPart;
    request.documentFolder = framework::FolderOf(path);
    return request;
}

FileRequest MeshFileRequest(const Session& session) {
    FileRequest request;
    request.description = kMeshFileDescription;
    request.extension = kMeshFileExtension;
    request.moreTypes = {{kObjFileDescription, kObjFileExtension},
                         {kGltfFileDescription, kGltfFileExtensions}};
    request.kind = FileKind::kMesh;
    request.fallbackFolder = framework::FolderOf(session.documents.modelPath);
    return request;
}

std::string DialogStartFolder(const FileRequest& request, std::string_view lastUsed) {
    if (!request.documentFolder.empty()) return request.documentFolder;
    if (!lastUsed.empty()) return std::string(lastUsed);
    return request.fallbackFolder;
}

std::string_view FolderSettingKey(FileKind kind) {
    switch (kind) {
        case FileKind::kPart:
            return "PART_FOLDER";
        case FileKind::kAnimation:
            return "ANIM_FOLDER";
        case FileKind::kMesh:
            return "MESH_FOLDER";
    }
    return "PART_FOLDER";
}

std::optional<PartPanelCommand> PartPanelCommandFromId(int id) {
    for (Command command : kPartPanelCommands) {
        if (static_cast<int>(command) == id) return command;
    }
    return std::nullopt;
}

bool RunPartPanelCommand(Session& session, PartPanelCommand command, const ChooseFile& chooseFile) {
    editing::Model& model = session.model;
    model::PartTable& parts = model.parts;
    const model::PartIndex s = session.editor.SelectedPart;
    if (!PartCommandRuns(command, {.selected = s, .count = parts.count})) return false;
    // Every command that may change the document or the pose is one history step; those that
    // open, save or close a document, and Undo and Redo themselves, are not.
    const bool edits = command != Command::kOpenPartFile && command != Command::kSavePartFile &&
                       command != Command::kSavePartFileAs && command != Command::kClosePartFile &&
                       command != Command::kAddChildPart && command != Command::kUndo &&
                       command != Command::kRedo;
    if (edits) model.BeginEdit();
    switch (command) {
        case Command::kOpenPartFile:
            OpenPartFile(session, chooseFile);
            break;
        case Command::kSavePartFile:
            SavePartFile(session, chooseFile);
            break;
        case Command::kSavePartFileAs:
            SavePartFileAs(session, chooseFile);
            break;
        case Command::kClosePartFile:
            session.panelObserver().StoreMaterialSettings();
            model.ClearParts();
            NoteModelSaved(session, std::string());
            break;
        case Command::kAddChildPart:
            AddChildPart(session, chooseFile);
            break;
        case Command::kDeletePart:
            model.DeletePart();
            break;
        case Command::kCopyOrientation:
            editing::CopyOrientation(parts, model.scene, s, model.clipboards);
            break;
        case Command::kPasteOrientation:
            editing::PasteOrientation(parts, model.scene, s, model.clipboards);
            break;
        case Command::kMirrorOrientation:
            editing::MirrorOrientation(parts, model.scene, s);
            break;
        case Command::kClearOrientation:
            editing::ClearOrientation(parts, model.scene, s);
            break;
        case Command::kCopyPosition:
            editing::CopyPosition(parts, model.scene, s, model.clipboards);
            break;
        case Command::kPastePosition:
            editing::PastePosition(parts, model.scene, s, model.clipboards);
            break;
        case Command::kMirrorPosition:
            editing::MirrorPosition(parts, model.scene, s);
            break;
        case Command::kClearPosition:
            editing::ClearPosition(parts, model.scene, s);
            break;
        case Command::kFetchDefaultOrientation:
            editing::FetchDefaultOrientation(parts, model.scene);
            break;
        case Command::kStoreDefaultOrientation:
            editing::StoreDefaultOrientation(parts, model.scene);
            break;
        case Command::kFetchDefaultPosition:
            editing::FetchDefaultPosition(parts, model.scene);
            break;
        case Command::kStoreDefaultPosition:
            editing::StoreDefaultPosition(parts, model.scene);
            break;
        case Command::kStoreDefaultPose:
            editing::StoreDefaultPose(parts, model.scene);
            break;
        case Command::kUndo:
            model.Undo();
            break;
        case Command::kRedo:
            model.Redo();
            break;
    }
    if (edits) model.EndEdit();
    return true;
}

PartMenuState MenuState(model::PartIndex selected, int count, bool canUndo, bool canRedo) {
    return {{.selected = selected, .count = count, .canUndo = canUndo, .canRedo = canRedo}};
}

PartMenuState MenuState(const Session& session) {
    const editing::EditHistory& history = session.model.history;
    return MenuState(session.editor.SelectedPart, session.model.parts.count, history.CanUndo(),
                     history.CanRedo());
}

ScaleBoxText FilterScaleText(std::string_view text, int selectionEnd) {
    ScaleBoxText result;
    bool pointKept = false;
    for (char c : text) {
        const bool keep = (c >= '0' && c <= '9') || (c == '.' && !pointKept);
        if (c == '.' && keep) pointKept = true;
        if (keep) {
            result.text += c;
        } else {
            result.dropped = true;
        }
    }
    result.caret = std::clamp(selectionEnd - 1, 0, static_cast<int>(result.text.size()));
    return result;
}

ScaleBoxText ScaleInput(Session& session, std::string_view text, int selectionEnd) {
    ScaleBoxText result = FilterScaleText(text, selectionEnd);
    const float value = ScaleValue(result.text);
    if (value > 0.0f && !files::IsWritableScale(value)) {
        result.refused = true;
        session.ShowMessage(kScaleTooSmallMessage);
    } else if (value > 0.0f) {
        // The changes made while typing one number are one step, sealed when the box is left.
        session.model.BeginEdit();
        model::PartTable& parts = session.model.parts;
        parts.scale = value;
        if (parts.count > 0) session.model.scene.node[0].SetScale(value);
        session.model.EndEdit(editing::StepKind::kScaleTyping);
    }
    return result;
}

std::string ScaleBoxLeft(Session& session) {
    session.model.SealHistory();
    return ScaleText(session.model.parts.scale);
}

std::string ScaleText(float scale) {
    // "%f" without the locale: six decimals and a '.' point.
    return TrimmedDecimalText(scale, 6);
}

}  // namespace app
