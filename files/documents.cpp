#include "files/documents.h"

#include "files/animation_file.h"
#include "files/part_file.h"
#include "framework/asset_paths.h"

namespace files {

namespace {

// What follows a part file's read, whatever the bytes came from.
bool FinishPartOpen(model::Model& model, const gfx::Status& read, const std::string& path) {
    if (!read) {
        model.host().ShowMessage(read.error());
        model.AbandonTable();
        return false;
    }
    model.documentFolder = framework::FolderOf(path);
    return model.OpenLoadedTable();
}

bool FinishAnimationOpen(model::Model& model, const gfx::Status& read) {
    if (!read) {
        model.host().ShowMessage(read.error());
        return false;
    }
    return true;
}

}  // namespace

bool OpenPartFile(model::Model& model, const std::string& path) {
    return FinishPartOpen(model, ReadPartFile(path, model.parts), path);
}

bool OpenPartBytes(model::Model& model, std::string_view bytes, const std::string& path) {
    return FinishPartOpen(model, ParsePartFile(bytes, model.parts), path);
}

bool OpenAnimationFile(model::Model& model, const std::string& path) {
    return FinishAnimationOpen(model, ReadAnimationFile(path, model.parts.count, model.animation));
}

bool OpenAnimationBytes(model::Model& model, std::string_view bytes) {
    return FinishAnimationOpen(model,
                               ParseAnimationFile(bytes, model.parts.count, model.animation));
}

}  // namespace files
