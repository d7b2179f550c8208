#include "files/documents.h"

#include "files/animation_file.h"
#include "files/part_file.h"
#include "framework/asset_paths.h"

namespace files {

bool OpenPartFile(model::Model& model, const std::string& path) {
    const gfx::Status read = ReadPartFile(path, model.parts);
    if (!read) {
        model.host().ShowMessage(read.error());
        model.AbandonTable();
        return false;
    }
    model.documentFolder = framework::FolderOf(path);
    return model.OpenLoadedTable();
}

bool OpenAnimationFile(model::Model& model, const std::string& path) {
    const gfx::Status read = ReadAnimationFile(path, model.parts.count, model.animation);
    if (!read) {
        model.host().ShowMessage(read.error());
        return false;
    }
    return true;
}

}  // namespace files
