#pragma once
// What the Animation panel does, without its window: the key it shows and that key's frame
// count, Get and Set of the key's pose, the frame count, and loading and saving the animation
// file. The panel forwards its controls here and owns the file dialogs: a command that needs a
// file asks the caller for it.

#include <string>
#include <string_view>

#include "app/commands/part_panel_commands.h"
#include "app/core/session.h"
#include "model/limits.h"

namespace app {

inline constexpr int kFirstKeyNumber = 1;
inline constexpr int kLastKeyNumber = model::kMaxKeys;
inline constexpr int kMaxFrameCount = 99;
inline constexpr std::string_view kAnimationFileDescription = "Posewrighter Animation File";
inline constexpr std::string_view kAnimationFileWrittenMessage = "アニメ情報を書み込みました。";
// Said when Save finds key 1 without frames: such a file would hold no animation at all.
inline constexpr std::string_view kEmptyAnimationMessage =
    "キー1のフレーム数が0のため、アニメーションは空です。ファイルは書き込まれませんでした。";

// The animation file's dialogs concern the animation file, else the model it belongs to.
FileRequest AnimationFileRequest(const Session& session, bool save);

// What the panel shows for a key: its number on the key up-down, the slider and the key text,
// its frame count on the frame up-down and the frame text.
struct ShownKey {
    int keyNumber = kFirstKeyNumber;
    int frameCount = 0;
    std::string keyText;
    std::string frameText;

    bool operator==(const ShownKey&) const = default;
};

// Key `keyNumber`, brought into 1 .. 16, with its frame count.
ShownKey KeyToShow(const Session& session, int keyNumber);

// Get, Set and the frame count are each one history step. Set on a key after the first key
// without frames says that the key will be neither played nor saved.
// Get: the parts take the key's stored pose.
void FetchAnimationKey(Session& session, int keyNumber);
// Set: the key takes the parts' live pose.
void StoreAnimationKey(Session& session, int keyNumber);
// The frame up-down's change ended: the key gets `frameCount`, brought into 0 .. 99.
ShownKey SetKeyFrameCount(Session& session, int keyNumber, int frameCount);

// A number typed into the key box and confirmed: a whole number within 1 .. 16 becomes the key
// shown; anything else is refused. Returns what the panel shows now either way.
ShownKey TypeKeyNumber(Session& session, std::string_view text);
// A number typed into the frame box and confirmed: a whole number within 0 .. 99 becomes the
// shown key's frame count (SetKeyFrameCount); anything else is refused and changes nothing.
ShownKey TypeFrameCount(Session& session, std::string_view text);

// Save: asks for a file and writes the keys in use. Only a save that wrote tells the user so
// (and which keys past the end, holding a pose or frames, were not saved);
// an empty animation writes nothing and says nothing, a failure shows the writer's message.
// True when a file was written. Save and Load note in the session's document record what the
// animation file now matches.
bool SaveAnimation(Session& session, const ChooseFile& chooseFile);
// Load: asks for a file and reads it (the reader shows its own message on failure). Whether or
// not a file was chosen or read, playback stops and key 1 becomes the key shown, which is
// returned.
ShownKey LoadAnimation(Session& session, const ChooseFile& chooseFile);

}  // namespace app
