#include "app/export/gltf_side_names.h"

#include <filesystem>
#include <system_error>

namespace app {

namespace {

namespace fs = std::filesystem;

bool KeptAsItIs(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-';
}

void AppendEscaped(std::string& out, std::string_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (KeptAsItIs(u)) {
            out += c;
        } else {
            out += '_';
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        }
    }
}

// True when `path` names an existing file that is one of `inputs` (by identity, so another
// spelling of the same path or a link to it counts).
bool IsInput(const std::string& path, const std::vector<std::string>& inputs) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error))) return false;
    for (const std::string& input : inputs) {
        if (!input.empty() && fs::equivalent(path, input, error)) return true;
    }
    return false;
}

// `stem + extension`, or with "~1", "~2" ... before the extension when that is an input.
std::string FreeName(const std::string& folder, const std::string& stem,
                     const std::string& extension, const std::vector<std::string>& inputs) {
    std::string name = stem + extension;
    for (int k = 1; IsInput(folder + name, inputs); ++k) {
        name = stem + "~" + std::to_string(k) + extension;
    }
    return name;
}

}  // namespace

std::string GltfSideBaseName(std::string_view gltfFileName) {
    constexpr std::string_view kExtension = ".gltf";
    std::string base;
    if (gltfFileName.size() < kExtension.size()) {
        AppendEscaped(base, gltfFileName);
        return base;
    }
    const std::string_view stem = gltfFileName.substr(0, gltfFileName.size() - kExtension.size());
    const std::string_view extension = gltfFileName.substr(stem.size());
    AppendEscaped(base, stem);
    if (extension != kExtension) base += "_2E" + std::string(extension.substr(1));
    return base;
}

GltfSideNames PickGltfSideNames(const std::string& folder, std::string_view gltfFileName,
                                std::size_t imageCount, const std::vector<std::string>& inputs) {
    const std::string base = GltfSideBaseName(gltfFileName);
    GltfSideNames names;
    names.bin = FreeName(folder, base, ".bin", inputs);
    for (std::size_t i = 0; i < imageCount; ++i) {
        names.images.push_back(FreeName(folder, base + "_" + std::to_string(i), ".png", inputs));
    }
    return names;
}

}  // namespace app
