#include "files/settings/settings_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "files/settings/profile_text.h"
#include "framework/debug_log.h"
#include "framework/user_files.h"
#include "gfx/base/file_read.h"

namespace files {

namespace {

// Far beyond any settings file the program writes; a larger file is treated as unreadable.
constexpr std::size_t kMaxSettingsBytes = std::size_t{8} << 20;

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view SkipSpace(std::string_view text) {
    while (!text.empty() && IsCSpace(text.front())) text.remove_prefix(1);
    return text;
}

// The file's bytes; empty text for a missing file; an error for a file that exists but cannot
// be read whole (a FIFO or a device in its place included: reading one would never end).
gfx::Result<std::string> ReadFileBytes(const std::filesystem::path& path) {
    std::string bytes;
    const auto failure =
        gfx::ReadRegularFile(path.string(), kMaxSettingsBytes, gfx::BeyondCap::kRefuse, bytes);
    if (!failure) return bytes;
    switch (failure->kind) {
        case gfx::FileReadFailure::Kind::kMissing:
            return std::string();
        case gfx::FileReadFailure::Kind::kTooLarge:
            return gfx::Error{path.string() + " is too large for a settings file"};
        case gfx::FileReadFailure::Kind::kNotRegular:
        case gfx::FileReadFailure::Kind::kOther:
            break;
    }
    return gfx::Error{"cannot read " + path.string() + ": " + failure->reason};
}

gfx::Status WriteFileBytesReplacing(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temporary = path;
    temporary += ".tmp" + std::to_string(::getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return gfx::Error{"cannot write " + temporary.string() + ": " + std::strerror(errno)};
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return gfx::Error{"cannot write " + path.string()};
    }
    return gfx::Status::Ok();
}

}  // namespace

std::optional<std::string> SettingsFile::Find(std::string_view section,
                                              std::string_view key) const {
    const gfx::Result<std::string> bytes = ReadFileBytes(path_);
    if (!bytes) return std::nullopt;
    return FindProfileValue(*bytes, section, key);
}

std::string SettingsFile::Read(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
    std::optional<std::string> value = Find(section, key);
    return value ? std::move(*value) : std::string(fallback);
}

int SettingsFile::ReadInteger(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
    return SettingInteger(Read(section, key, fallback));
}

double SettingsFile::ReadDecimal(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
    return SettingDecimal(Read(section, key, fallback));
}

gfx::Status SettingsFile::Write(std::string_view section, std::string_view key,
                                std::string_view value) const {
    const gfx::Result<std::string> bytes = ReadFileBytes(path_);
    if (!bytes) return gfx::Error{bytes.error()};
    const gfx::Result<std::string> edited = SetProfileValue(*bytes, section, key, value);
    if (!edited) return gfx::Error{edited.error()};
    return WriteFileBytesReplacing(path_, *edited);
}

SettingsFile ProgramSettings() {
    return SettingsFile(framework::UserFilePath(kSettingsFileName));
}

std::string ReadSetting(std::string_view section, std::string_view key, std::string_view fallback) {
    return ProgramSettings().Read(section, key, fallback);
}

void WriteSetting(std::string_view section, std::string_view key, std::string_view value) {
    LogFailedSettingsWrite(ProgramSettings().Write(section, key, value), key);
}

void LogFailedSettingsWrite(const gfx::Status& written, std::string_view what) {
    if (written.ok()) return;
    framework::LogMessage("Settings not written (%.*s): %s\n", static_cast<int>(what.size()),
                          what.data(), written.error().c_str());
}

int SettingInteger(std::string_view text) {
    text = SkipSpace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Accumulated towards the sign so that INT_MIN itself is reachable.
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    long long magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') break;
        magnitude = std::min(magnitude * 10 + (c - '0'), kLimit);
    }
    const long long value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::min<long long>(value, std::numeric_limits<int>::max()));
}

double SettingDecimal(std::string_view text) {
    text = SkipSpace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars takes no sign of its own here: "+-1" is not a number, as for atof.
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) return 0.0;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    if (error != std::errc()) return 0.0;
    return negative ? -value : value;
}

}  // namespace files
