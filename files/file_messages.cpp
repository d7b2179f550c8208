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

}  // namespace files
