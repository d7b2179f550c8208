#include "files/file_messages.h"

#include <filesystem>
#include <system_error>

#include "framework/display_text.h"

namespace files {

gfx::Error ReadFailedAt(const std::string& path, std::string_view reason) {
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error);
    if (error) full = path;
    return gfx::Error{std::string(kReadFailedMessage) + "\r" +
                      framework::DisplayText(full.lexically_normal().string()) + "\r" +
                      std::string(reason)};
}

std::string KeyList(const std::vector<int>& keys) {
    std::string text;
    for (int key : keys) text += (text.empty() ? "" : ", ") + std::to_string(key);
    return text;
}

std::string KeyPastTheEndMessage(int keyNumber, int firstKeyWithoutFrames) {
    const std::string key = std::to_string(keyNumber);
    return "キー" + std::to_string(firstKeyWithoutFrames) +
           "のフレーム数が0のため、アニメーションはその前で終わります。\r" + "キー" + key +
           "は再生も保存もされません。";
}

std::string KeysNotSavedMessage(const std::vector<int>& keys, int firstKeyWithoutFrames) {
    return "キー" + KeyList(keys) + "は保存されませんでした。\rキー" +
           std::to_string(firstKeyWithoutFrames) +
           "のフレーム数が0のため、アニメーションはその前で終わります。";
}

}  // namespace files
