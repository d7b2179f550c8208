#pragma once
// What the user is told when a document cannot be read or written. The precise reason (line
// number, what was wrong, the system error) goes to the debug log as well.

#include <string>
#include <string_view>
#include <vector>

#include "gfx/base/result.h"

namespace files {

inline constexpr std::string_view kReadFailedMessage = "ファイルの読み込みに失敗しました。";
inline constexpr std::string_view kWriteFailedMessage = "ファイルの書き込みに失敗しました。";

inline gfx::Error ReadFailed() {
    return gfx::Error{std::string(kReadFailedMessage)};
}
inline gfx::Error WriteFailed() {
    return gfx::Error{std::string(kWriteFailedMessage)};
}

// The read-failure message, then the file's full path and the reason, each on a line of its
// own (a lone carriage return breaks the notice box's line):
// "ファイルの読み込みに失敗しました。\r/home/u/robot.pwa\rline 3: ...".
gfx::Error ReadFailedAt(const std::string& path, std::string_view reason);

// Said when Set stores a key after the first key without frames (keys are 1 .. 16): it is
// neither played nor saved.
std::string KeyPastTheEndMessage(int keyNumber, int firstKeyWithoutFrames);
// Said after an animation was saved while `keys` past the end held poses or frames.
std::string KeysNotSavedMessage(const std::vector<int>& keys, int firstKeyWithoutFrames);
// "3, 5, 7".
std::string KeyList(const std::vector<int>& keys);

}  // namespace files
