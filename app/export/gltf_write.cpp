#include "app/export/gltf_write.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "app/export/file_replacement.h"
#include "app/export/gltf_export.h"
#include "app/export/gltf_side_names.h"
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
    const std::string& path() const { return path_; }
    // Leaves the folder and what it holds on disk.
    void Keep() { path_.clear(); }
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

// The files an export reads: its documents, every part's mesh and texture files.
std::vector<std::string> InputFiles(const editing::Model& model,
                                    const std::vector<std::string>& documents) {
    std::vector<std::string> inputs = documents;
    for (int i = 0; i < model.parts.count; ++i) {
        inputs.push_back(framework::LookUpBeside(model.parts.Path(i), model.documentFolder));
        const std::vector<std::string>& textures = model.scene.mesh[i].textureFiles;
        inputs.insert(inputs.end(), textures.begin(), textures.end());
    }
    return inputs;
}

gfx::Status WriteGltfWithFiles(GltfAsset& asset, const std::string& path,
                               const std::vector<std::string>& inputs) {
    const std::string folder = framework::FolderOf(path);
    const std::string gltfName(framework::FileNamePart(path));
    const GltfSideNames names =
        PickGltfSideNames(folder, gltfName, asset.imageFiles.size(), inputs);
    for (std::size_t i = 0; i < names.images.size(); ++i) {
        asset.gltf.images[i].uri = names.images[i];
    }
    if (!asset.gltf.buffers.empty()) asset.gltf.buffers[0].uri = names.bin;

    StagingFolder staging(folder);
    if (!staging.ok()) {
        return gfx::Error{"cannot write beside \"" + path + "\": " + staging.error()};
    }
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

    // The images and the .bin first, the .gltf last; what the names held waits in "aside"
    // until all are in place, and goes back should one of them fail.
    std::vector<FileMove> moves;
    for (const std::string& name : names.images) moves.push_back({staging / name, folder + name});
    if (!asset.gltf.buffers.empty()) moves.push_back({staging / names.bin, folder + names.bin});
    moves.push_back({staging / gltfName, folder + gltfName});
    const std::string aside = staging / "aside";
    std::error_code madeAside;
    fs::create_directory(aside, madeAside);
    if (madeAside)
        return gfx::Error{"cannot write beside \"" + path + "\": " + madeAside.message()};
    const gfx::Status replaced = ReplaceFilesTogether(moves, aside);
    std::error_code listed;
    if (!replaced && !fs::is_empty(aside, listed)) {
        staging.Keep();  // a previous file that could not be put back lies there
    }
    return replaced;
}

gfx::Status Export(const editing::Model& model, const std::string& path,
                   const std::vector<std::string>& documents) {
    const std::string lower = LowerCase(std::string(framework::FileNamePart(path)));
    const bool binary = EndsWith(lower, ".glb");
    if (!binary && !EndsWith(lower, ".gltf")) {
        return gfx::Error{"\"" + path + "\" does not end in .glb or .gltf"};
    }
    const std::string baseName =
        binary ? std::string() : GltfSideBaseName(framework::FileNamePart(path));
    gfx::Result<GltfAsset> asset =
        BuildGltfAsset(model, binary ? GltfImages::kInBuffer : GltfImages::kFiles, baseName);
    if (!asset) return gfx::Error{asset.error()};
    return binary ? WriteGlb(*asset, path)
                  : WriteGltfWithFiles(*asset, path, InputFiles(model, documents));
}

}  // namespace

gfx::Status ExportGltf(const editing::Model& model, const std::string& path,
                       const std::vector<std::string>& documents) {
    // The glTF writer may throw (JSON, memory); nothing leaves this module as an exception.
    try {
        return Export(model, path, documents);
    } catch (const std::exception& e) {
        return gfx::Error{"cannot write \"" + path + "\": " + e.what()};
    }
}

}  // namespace app
