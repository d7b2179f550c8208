#pragma once
// What the user is told when a document cannot be read or written. The precise reason (line
// number, what was wrong, the system error) goes to the debug log for the developer.

#include <string>
#include <string_view>

#include "gfx/result.h"

namespace files {

inline constexpr std::string_view kReadFailedMessage = "ファイルの読み込みに失敗しました。";
inline constexpr std::string_view kWriteFailedMessage = "ファイルの書き込みに失敗しました。";

inline gfx::Error ReadFailed() {
    return gfx::Error{std::string(kReadFailedMessage)};
}
inline gfx::Error WriteFailed() {
    return gfx::Error{std::string(kWriteFailedMessage)};
}

}  // namespace files
