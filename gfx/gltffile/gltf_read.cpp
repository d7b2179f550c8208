#include "gfx/gltffile/gltf_read.h"

#include <cctype>
#include <utility>
#include <vector>

#include "gfx/base/file_read.h"

namespace gfx::gltffile {

namespace {

// Side files (buffers, images) larger than this, together, are refused.
constexpr std::size_t kMaxSideBytes = std::size_t{1} << 30;

struct FileAccess {
    const std::optional<std::string>* folder = nullptr;
    const FindFile* find = nullptr;
    std::size_t bytesRead = 0;
    std::vector<std::pair<std::string, std::string>> failures;  // path, reason
};

// Every name "exists": the read below then says why it cannot be read.
bool AnyFileExists(const std::string&, void*) {
    return true;
}

// Names are used as written: no shell expansion.
std::string KeepPath(const std::string& path, void*) {
    return path;
}

// tinygltf gives the folder joined to the name the file writes ("folder/Data\\MESH.BIN"): the
// name is looked for in the folder as the caller finds files.
std::string Found(const FileAccess& access, const std::string& path) {
    const std::string& folder = **access.folder;
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    if (!path.starts_with(prefix)) return path;
    return (*access.find)(std::string_view(path).substr(prefix.size()), prefix);
}

bool ReadSideFile(std::vector<unsigned char>* out, std::string* err, const std::string& path,
                  void* user) {
    auto& access = *static_cast<FileAccess*>(user);
    std::string reason;
    if (!access.folder->has_value()) {
        reason = "files beside it are not read here";
    } else if (auto failure = ReadRegularFile(Found(access, path), kMaxSideBytes - access.bytesRead,
                                              BeyondCap::kRefuse, *out)) {
        reason = failure->kind == FileReadFailure::Kind::kTooLarge
                     ? "the files it names are larger than 1 GiB together"
                     : failure->reason;
    } else {
        access.bytesRead += out->size();
        return true;
    }
    out->clear();
    if (err != nullptr) *err = reason;
    access.failures.emplace_back(path, reason);
    return false;
}

bool NeverWrite(std::string*, const std::string&, const std::vector<unsigned char>&, void*) {
    return false;
}

// Data-URI images keep their encoded bytes. Images in buffer views are cut out later with their
// ranges checked (tinygltf passes them on unchecked: these bytes are not read); images in files
// are named by their URI.
bool KeepEncodedImage(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                      const unsigned char* bytes, int size, void*) {
    if (image->bufferView >= 0 || !image->uri.empty() || bytes == nullptr || size <= 0) {
        return true;
    }
    image->image.assign(bytes, bytes + size);
    return true;
}

std::string FirstLine(std::string text) {
    const std::size_t end = text.find('\n');
    if (end != std::string::npos) text.resize(end);
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
    return text;
}

bool LooksLikeJsonObject(std::span<const std::byte> bytes) {
    std::size_t i = 0;
    // A UTF-8 byte order mark may open the text.
    if (bytes.size() >= 3 && bytes[0] == std::byte{0xEF} && bytes[1] == std::byte{0xBB} &&
        bytes[2] == std::byte{0xBF}) {
        i = 3;
    }
    while (i < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[i]))) ++i;
    return i < bytes.size() && bytes[i] == std::byte{'{'};
}

}  // namespace

Status ReadGltfModel(std::span<const std::byte> bytes, const std::optional<std::string>& folder,
                     const FindFile& find, tinygltf::Model& model) {
    const bool binary = bytes.size() >= 4 && bytes[0] == std::byte{'g'} &&
                        bytes[1] == std::byte{'l'} && bytes[2] == std::byte{'T'} &&
                        bytes[3] == std::byte{'F'};
    if (!binary && !LooksLikeJsonObject(bytes)) {
        return Error{"not a glTF file: neither JSON text nor a binary glTF header"};
    }
    if (bytes.size() > 0xFFFFFFFFu) return Error{"the file is larger than 4 GiB"};

    FileAccess access;
    access.folder = &folder;
    access.find = &find;
    tinygltf::TinyGLTF loader;
    loader.SetFsCallbacks({&AnyFileExists, &KeepPath, &ReadSideFile, &NeverWrite, &access});
    loader.SetImageLoader(&KeepEncodedImage, nullptr);
    std::string err, warn;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto size = static_cast<unsigned int>(bytes.size());
    const std::string base = folder.value_or("");
    const bool loaded =
        binary ? loader.LoadBinaryFromMemory(&model, &err, &warn, data, size, base)
               : loader.LoadASCIIFromString(&model, &err, &warn,
                                            reinterpret_cast<const char*>(data), size, base);
    if (loaded) return {};

    // A side file that could not be read is the reason when tinygltf's error names it (image
    // files are optional to it: those failures are only warnings).
    for (const auto& [path, reason] : access.failures) {
        if (err.find(path) == std::string::npos) continue;
        std::string name = path;
        const std::string prefix = base.empty() || base.ends_with('/') ? base : base + "/";
        if (name.starts_with(prefix)) name.erase(0, prefix.size());
        return Error{"cannot read \"" + name + "\": " + reason};
    }
    std::string reason = FirstLine(err);
    if (reason.empty()) reason = "tinygltf gives no reason";
    if (binary) return Error{"not a valid binary glTF file: " + reason};
    return Error{"not a valid glTF file: " + reason};
}

}  // namespace gfx::gltffile
