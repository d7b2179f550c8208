#include "app/commands/animation_panel_commands.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "app/commands/typed_numbers.h"
#include "app/core/documents.h"
#include "app/core/editor_actions.h"
#include "editing/key_poses.h"
#include "files/animation_file.h"
#include "files/file_messages.h"
#include "framework/asset_paths.h"

namespace app {

FileRequest AnimationFileRequest(const Session& session, bool save) {
    const std::string& path = session.documents.animationPath;
    FileRequest request;
    request.description = kAnimationFileDescription;
    request.extension = files::kAnimationFileExtension;
    request.save = save;
    if (save) request.startPath = path;
    request.kind = FileKind::kAnimation;
    request.documentFolder = framework::FolderOf(path.empty() ? session.documents.modelPath : path);
    return request;
}

ShownKey KeyToShow(const Session& session, int keyNumber) {
    ShownKey shown;
    shown.keyNumber = std::clamp(keyNumber, kFirstKeyNumber, kLastKeyNumber);
    shown.frameCount = session.model.animation.frameCount[shown.keyNumber - 1];
    shown.keyText = std::to_string(shown.keyNumber);
    shown.frameText = std::to_string(shown.frameCount);
    return shown;
}

void FetchAnimationKey(Session& session, int keyNumber) {
    session.model.BeginEdit();
    editing::FetchKey(session.model.animation, keyNumber, session.model.scene);
    session.model.EndEdit();
}

void StoreAnimationKey(Session& session, int keyNumber) {
    session.model.BeginEdit();
    editing::StoreKey(session.model.animation, keyNumber, session.model.scene);
    session.model.EndEdit();
    // A key after the first one without frames would be lost at quit without a word.
    const int firstWithoutFrames = session.model.animation.KeysInUse() + 1;
    if (keyNumber > firstWithoutFrames) {
        session.ShowMessage(files::KeyPastTheEndMessage(keyNumber, firstWithoutFrames));
    }
}

ShownKey SetKeyFrameCount(Session& session, int keyNumber, int frameCount) {
    const ShownKey key = KeyToShow(session, keyNumber);
    session.model.BeginEdit();
    session.model.animation.SetFrameCount(
        key.keyNumber, static_cast<std::int16_t>(std::clamp(frameCount, 0, kMaxFrameCount)));
    session.model.EndEdit();
    return KeyToShow(session, key.keyNumber);
}

ShownKey TypeKeyNumber(Session& session, std::string_view text) {
    const std::optional<int> key = TypedWholeNumber(text, kFirstKeyNumber, kLastKeyNumber);
    return KeyToShow(session, key ? SetShownKey(session, *key) : session.shownKey());
}

ShownKey TypeFrameCount(Session& session, std::string_view text) {
    const std::optional<int> frames = TypedWholeNumber(text, 0, kMaxFrameCount);
    if (!frames) return KeyToShow(session, session.shownKey());
    return SetKeyFrameCount(session, session.shownKey(), *frames);
}

bool SaveAnimation(Session& session, const ChooseFile& chooseFile) {
    const auto path = chooseFile(AnimationFileRequest(session, true));
    if (!path) return false;
    const auto written =
        files::WriteAnimationFile(*path, session.model.animation, session.model.parts);
    if (!written) {
        session.ShowMessage(written.error());
        return false;
    }
    if (*written == files::AnimationWrite::kEmpty) {
        session.ShowMessage(kEmptyAnimationMessage);
        return false;
    }
    NoteAnimationSaved(session, *path);
    const model::AnimationSet& animation = session.model.animation;
    const std::vector<int> lost = animation.KeysPastTheEnd(session.model.parts.count);
    session.ShowMessage(lost.empty()
                            ? std::string(kAnimationFileWrittenMessage)
                            : std::string(kAnimationFileWrittenMessage) + "\r" +
                                  files::KeysNotSavedMessage(lost, animation.KeysInUse() + 1));
    return true;
}

ShownKey LoadAnimation(Session& session, const ChooseFile& chooseFile) {
    const auto path = chooseFile(AnimationFileRequest(session, false));
    if (path) {
        // A failed read leaves the animation empty, which matches no file.
        const bool opened = app::OpenAnimationFile(session.model, *path);
        NoteAnimationSaved(session, opened ? *path : std::string());
    }
    SetPlaying(session, false);
    return KeyToShow(session, SetShownKey(session, kFirstKeyNumber));
}

}  // namespace app
