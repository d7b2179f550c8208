#include "app/gltf_write.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "app/gltf_export.h"
#include "files/document_io.h"
#include "framework/asset_paths.h"

namespace app {

namespace {

namespace fs = std::filesystem;

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The output's file name without its extension, safe to stand in a URI unescaped.
std::string ResourceBaseName(const std::string& path) {
    std::string name(framework::FileNamePart(path));
    name = name.substr(0, name.rfind('.'));
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (!std::isalnum(u) && c != '.' && c != '-' && c != '_') c = '_';
    }
    return name.empty() ? std::string("model") : name;
}

gfx::Status WriteGlb(const GltfAsset& asset, const std::string& path) {
    std::ostringstream bytes;
    tinygltf::TinyGLTF writer;
    if (!writer.WriteGltfSceneToStream(&asset.gltf, bytes, false, true)) {
        return gfx::Error{"the glTF writer failed"};
    }
    return files::ReplaceFile(path, bytes.str());
}

// A fresh folder beside the output, removed with what it still holds.
class StagingFolder {
  public:
    explicit StagingFolder(const std::string& outputFolder) {
        std::string pattern = (outputFolder.empty() ? std::string("./") : outputFolder) +
                              ".posewrighter-export-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        } else {
            error_ = std::strerror(errno);
        }
    }
    ~StagingFolder() {
        if (!path_.empty()) {
            std::error_code ignored;
            fs::remove_all(path_, ignored);
        }
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::string& error() const { return error_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_, error_;
};

// tinygltf's image writer for the .gltf: each image's file gets the PNG bytes the asset holds.
struct ImageFiles {
    const GltfAsset* asset;
    std::string failure;
};

bool WriteImageFile(const std::string* folder, const std::string* fileName,
                    const tinygltf::Image* image, bool, std::string* uri, void* context) {
    auto* files = static_cast<ImageFiles*>(context);
    const std::size_t index = static_cast<std::size_t>(image - files->asset->gltf.images.data());
    if (index >= files->asset->imageFiles.size()) return false;
    const std::vector<std::uint8_t>& png = files->asset->imageFiles[index];
    const auto written =
        files::ReplaceFile(*folder + "/" + *fileName,
                           std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
    if (!written && files->failure.empty()) files->failure = written.error();
    *uri = *fileName;
    return written.ok();
}

gfx::Status WriteGltfWithFiles(const GltfAsset& asset, const std::string& path,
                               const std::string& baseName) {
    const std::string folder = framework::FolderOf(path);
    StagingFolder staging(folder);
    if (!staging.ok()) {
        return gfx::Error{"cannot write beside \"" + path + "\": " + staging.error()};
    }
    const std::string gltfName(framework::FileNamePart(path));
    tinygltf::TinyGLTF writer;
    ImageFiles images{&asset, {}};
    writer.SetImageWriter(WriteImageFile, &images);
    const bool written =
        writer.WriteGltfSceneToFile(&asset.gltf, staging / gltfName, false, false, true, false);
    if (!images.failure.empty()) return gfx::Error{images.failure};
    if (!written) return gfx::Error{"cannot write \"" + path + "\""};

    // Read back whole, buffer and images included, before anything takes an output name.
    tinygltf::Model check;
    std::string error, warning;
    tinygltf::TinyGLTF reader;
    if (!reader.LoadASCIIFromFile(&check, &error, &warning, staging / gltfName)) {
        return gfx::Error{"cannot write \"" + path + "\" whole: " + error};
    }

    std::vector<std::string> names;
    for (std::size_t i = 0; i < asset.imageFiles.size(); ++i) {
        names.push_back(asset.gltf.images[i].uri);
    }
    if (!asset.gltf.buffers.empty()) names.push_back(baseName + ".bin");
    names.push_back(gltfName);
    for (const std::string& name : names) {
        std::error_code failure;
        fs::rename(staging / name, folder + name, failure);
        if (failure) {
            return gfx::Error{"cannot write \"" + folder + name + "\": " + failure.message()};
        }
    }
    return {};
}

gfx::Status Export(const model::Model& model, const std::string& path) {
    const std::string lower = LowerCase(std::string(framework::FileNamePart(path)));
    const bool binary = EndsWith(lower, ".glb");
    if (!binary && !EndsWith(lower, ".gltf")) {
        return gfx::Error{"\"" + path + "\" does not end in .glb or .gltf"};
    }
    const std::string baseName = ResourceBaseName(path);
    gfx::Result<GltfAsset> asset =
        BuildGltfAsset(model, binary ? GltfImages::kInBuffer : GltfImages::kFiles, baseName);
    if (!asset) return gfx::Error{asset.error()};
    return binary ? WriteGlb(*asset, path) : WriteGltfWithFiles(*asset, path, baseName);
}

}  // namespace

gfx::Status ExportGltf(const model::Model& model, const std::string& path) {
    // The glTF writer may throw (JSON, memory); nothing leaves this module as an exception.
    try {
        return Export(model, path);
    } catch (const std::exception& e) {
        return gfx::Error{"cannot write \"" + path + "\": " + e.what()};
    }
}

}  // namespace app
