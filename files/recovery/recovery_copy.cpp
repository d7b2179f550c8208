#include "files/recovery/recovery_copy.h"

#include <charconv>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "files/animation_file.h"
#include "files/document_io.h"
#include "files/part_file.h"
#include "model/part_table.h"

namespace files {

namespace {

namespace fs = std::filesystem;

// Far above any document the writers produce; a file past it is not one of ours.
constexpr std::size_t kMaxDocumentBytes = 4u << 20;
constexpr std::size_t kMaxManifestBytes = 4096;

bool IsSet(const char* text) {
    return text != nullptr && text[0] != '\0';
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

std::string HashText(std::uint64_t hash) {
    char buffer[17];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, hash, 16);
    return error == std::errc{} ? std::string(buffer, end) : "0";
}

bool ParseNumber(std::string_view text, std::uint64_t& value, int base) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc{} && end == text.data() + text.size();
}

std::string DocumentLine(std::string_view key, std::string_view prefix, std::string_view extension,
                         std::uint64_t number, std::string_view bytes) {
    return std::string(key) + "=" + std::string(prefix) + std::to_string(number) + "." +
           std::string(extension) + " " + std::to_string(bytes.size()) + " " +
           HashText(RecoveryHash(bytes)) + "\n";
}

// "<prefix><digits>.<extension>": the only names a manifest may point at, so that it never
// leads a read out of the folder.
bool IsDocumentName(std::string_view name, std::string_view prefix, std::string_view extension) {
    const std::string suffix = "." + std::string(extension);
    if (!name.starts_with(prefix) || !name.ends_with(suffix)) return false;
    const std::string_view digits =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    std::uint64_t ignored = 0;
    return ParseNumber(digits, ignored, 10);
}

// "name size hash" after "key=".
bool ParseDocument(std::string_view text, std::string_view prefix, std::string_view extension,
                   std::string& name, std::uint64_t& size, std::uint64_t& hash) {
    const std::size_t first = text.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : text.find(' ', first + 1);
    if (second == std::string_view::npos) return false;
    name = std::string(text.substr(0, first));
    return IsDocumentName(name, prefix, extension) &&
           ParseNumber(text.substr(first + 1, second - first - 1), size, 10) &&
           ParseNumber(text.substr(second + 1), hash, 16);
}

// A document path as the manifest holds it: one with a line end (which would break the line)
// or a NUL (which no file name holds) is kept as no path, both when written and when read, so
// that what is read is what would be written again.
std::string SafePath(std::string_view path) {
    return path.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos
               ? std::string(path)
               : std::string();
}

RecoveryRead Damaged(std::string problem) {
    return {RecoveryState::kDamaged, {}, std::move(problem)};
}

// The document's bytes when they are what the manifest says.
gfx::Result<std::string> ReadDocument(const std::string& folder, const std::string& name,
                                      std::uint64_t size, std::uint64_t hash) {
    auto bytes = ReadFilePrefix(folder + name, kMaxDocumentBytes);
    if (!bytes) return bytes;
    if (bytes->size() != size) {
        return gfx::Error{name + " holds " + std::to_string(bytes->size()) +
                          " bytes, the manifest says " + std::to_string(size)};
    }
    if (RecoveryHash(*bytes) != hash) return gfx::Error{name + " does not match its hash"};
    return bytes;
}

}  // namespace

std::string RecoveryFolder(const char* xdgStateHome, const char* home) {
    std::string base;
    // The XDG base-directory rules ignore a relative $XDG_STATE_HOME.
    if (IsSet(xdgStateHome) && xdgStateHome[0] == '/') {
        base = WithSlash(xdgStateHome);
    } else if (IsSet(home)) {
        base = WithSlash(home) + ".local/state/";
    } else {
        return {};
    }
    return base + "Posewrighter/recovery/";
}

bool IsRecoveryDocumentName(std::string_view name) {
    return IsDocumentName(name, "model-", kPartFileExtension) ||
           IsDocumentName(name, "animation-", kAnimationFileExtension);
}

std::uint64_t RecoveryHash(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    return hash;
}

std::string FormatRecoveryManifest(const RecoveryCopy& copy, std::uint64_t number) {
    std::string text = std::string(kRecoveryFormatLine) + "\n";
    text += "model-path=" + SafePath(copy.modelPath) + "\n";
    text += "animation-path=" + SafePath(copy.animationPath) + "\n";
    text += "unsaved=";
    if (copy.modelUnsaved) text += "model";
    if (copy.modelUnsaved && copy.animationUnsaved) text += " ";
    if (copy.animationUnsaved) text += "animation";
    text += "\n";
    text += DocumentLine("model", "model-", kPartFileExtension, number, copy.model);
    text += copy.animation.empty() ? "animation=none\n"
                                   : DocumentLine("animation", "animation-",
                                                  kAnimationFileExtension, number, copy.animation);
    return text;
}

gfx::Result<RecoveryManifest> ParseRecoveryManifest(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) return gfx::Error{"the last line has no line end"};
        lines.push_back(bytes.substr(0, end));
        bytes.remove_prefix(end + 1);
    }
    if (lines.size() != 6) {
        return gfx::Error{"the manifest has " + std::to_string(lines.size()) + " lines, not 6"};
    }
    if (lines[0] != kRecoveryFormatLine) {
        return gfx::Error{"unknown format line \"" + std::string(lines[0]) + "\""};
    }
    const char* keys[] = {"model-path=", "animation-path=", "unsaved=", "model=", "animation="};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (!lines[i].starts_with(keys[i - 1])) {
            return gfx::Error{"line " + std::to_string(i + 1) + " does not start with \"" +
                              keys[i - 1] + "\""};
        }
        lines[i].remove_prefix(std::string_view(keys[i - 1]).size());
    }

    RecoveryManifest manifest;
    manifest.copy.modelPath = SafePath(lines[1]);
    manifest.copy.animationPath = SafePath(lines[2]);
    const std::string_view unsaved = lines[3];
    manifest.copy.modelUnsaved = unsaved == "model" || unsaved == "model animation";
    manifest.copy.animationUnsaved = unsaved == "animation" || unsaved == "model animation";
    if (!unsaved.empty() && !manifest.copy.modelUnsaved && !manifest.copy.animationUnsaved) {
        return gfx::Error{"unknown unsaved list \"" + std::string(unsaved) + "\""};
    }
    if (!ParseDocument(lines[4], "model-", kPartFileExtension, manifest.modelFile,
                       manifest.modelSize, manifest.modelHash)) {
        return gfx::Error{"bad model line \"" + std::string(lines[4]) + "\""};
    }
    if (lines[5] != "none" &&
        !ParseDocument(lines[5], "animation-", kAnimationFileExtension, manifest.animationFile,
                       manifest.animationSize, manifest.animationHash)) {
        return gfx::Error{"bad animation line \"" + std::string(lines[5]) + "\""};
    }
    return manifest;
}

gfx::Status WriteRecoveryCopy(const std::string& folder, const RecoveryCopy& copy,
                              std::uint64_t number) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return gfx::Error{"cannot make \"" + folder + "\": " + error.message()};
    const std::string base = WithSlash(folder);
    const std::string manifest = FormatRecoveryManifest(copy, number);
    const std::string modelName = "model-" + std::to_string(number) + ".pwp";
    const std::string animationName = "animation-" + std::to_string(number) + ".pwa";
    if (gfx::Status written = ReplaceFile(base + modelName, copy.model); !written) return written;
    if (!copy.animation.empty()) {
        if (gfx::Status written = ReplaceFile(base + animationName, copy.animation); !written) {
            return written;
        }
    }
    if (gfx::Status written = ReplaceFile(base + std::string(kRecoveryManifestName), manifest);
        !written) {
        return written;
    }
    // The earlier copies' documents: no manifest names them any more.
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const bool earlier = (IsDocumentName(name, "model-", kPartFileExtension) ||
                              IsDocumentName(name, "animation-", kAnimationFileExtension)) &&
                             name != modelName && name != animationName;
        if (earlier) fs::remove(entry.path(), error);
    }
    return {};
}

RecoveryRead ReadRecoveryCopy(const std::string& folder) {
    std::error_code error;
    if (!fs::exists(folder, error) || fs::is_empty(folder, error)) return {};
    const std::string base = WithSlash(folder);
    auto manifestBytes =
        ReadFilePrefix(base + std::string(kRecoveryManifestName), kMaxManifestBytes + 1);
    if (!manifestBytes) return Damaged("no manifest: " + manifestBytes.error());
    if (manifestBytes->size() > kMaxManifestBytes) return Damaged("the manifest is too long");
    auto manifest = ParseRecoveryManifest(*manifestBytes);
    if (!manifest) return Damaged("manifest: " + manifest.error());

    RecoveryRead read{RecoveryState::kFound, manifest->copy, {}};
    auto model = ReadDocument(base, manifest->modelFile, manifest->modelSize, manifest->modelHash);
    if (!model) return Damaged(model.error());
    read.copy.model = std::move(*model);
    if (!manifest->animationFile.empty()) {
        auto animation = ReadDocument(base, manifest->animationFile, manifest->animationSize,
                                      manifest->animationHash);
        if (!animation) return Damaged(animation.error());
        read.copy.animation = std::move(*animation);
    }

    // The readers must take both, or the copy would open half.
    const auto table = std::make_unique<model::PartTable>();
    if (!ParsePartFile(read.copy.model, *table)) {
        return Damaged(manifest->modelFile + " is not a part file the reader accepts");
    }
    if (!read.copy.animation.empty()) {
        const auto animation = std::make_unique<model::AnimationSet>();
        if (!ParseAnimationFile(read.copy.animation, table->count, *animation)) {
            return Damaged(manifest->animationFile +
                           " is not an animation file the reader accepts");
        }
    }
    return read;
}

gfx::Status RemoveRecoveryCopy(const std::string& folder) {
    std::error_code error;
    const std::string path = fs::path(folder).lexically_normal().string();
    const std::string trimmed = path.ends_with('/') ? path.substr(0, path.size() - 1) : path;
    if (!fs::exists(trimmed, error)) return {};
    const std::string removing = trimmed + ".removing";
    fs::remove_all(removing, error);  // left by a removal cut short
    fs::rename(trimmed, removing, error);
    if (error) return gfx::Error{"cannot rename \"" + trimmed + "\": " + error.message()};
    fs::remove_all(removing, error);
    if (error) return gfx::Error{"cannot remove \"" + removing + "\": " + error.message()};
    return {};
}

gfx::Result<std::string> SetAsideRecoveryCopy(const std::string& folder, std::string_view stamp) {
    std::error_code error;
    const fs::path path = fs::path(folder).lexically_normal();
    const fs::path from = path.filename().empty() ? path.parent_path() : path;
    const std::string stem = (from.parent_path() / ("recovery-" + std::string(stamp))).string();
    for (int attempt = 1; attempt < 100; ++attempt) {
        const std::string to =
            stem + (attempt == 1 ? "" : "-" + std::to_string(attempt)) + ".damaged";
        if (fs::exists(to, error)) continue;
        fs::rename(from, to, error);
        if (error) return gfx::Error{"cannot rename \"" + from.string() + "\": " + error.message()};
        return to;
    }
    return gfx::Error{"no free name beside \"" + from.string() + "\""};
}

}  // namespace files
