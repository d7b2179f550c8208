#include "app/core/documents.h"

#include "files/animation_file.h"
#include "files/part_file.h"
#include "framework/asset_paths.h"

namespace app {

namespace {

// What follows a part file's read, whatever the bytes came from.
bool FinishPartOpen(editing::Model& model, const gfx::Status& read, const std::string& path) {
    if (!read) {
        model.host().ShowMessage(read.error());
        model.AbandonTable();
        return false;
    }
    model.documentFolder = framework::FolderOf(path);
    return model.OpenLoadedTable();
}

bool FinishAnimationOpen(editing::Model& model, const gfx::Status& read) {
    // A read replaces the keys, or empties them when it fails: a new history starts.
    model.ClearHistory();
    if (!read) {
        model.host().ShowMessage(read.error());
        return false;
    }
    return true;
}

}  // namespace

bool OpenPartFile(editing::Model& model, const std::string& path) {
    return FinishPartOpen(model, files::ReadPartFile(path, model.parts), path);
}

bool OpenPartBytes(editing::Model& model, std::string_view bytes, const std::string& path) {
    return FinishPartOpen(model, files::ParsePartFile(bytes, model.parts), path);
}

bool OpenAnimationFile(editing::Model& model, const std::string& path) {
    return FinishAnimationOpen(model,
                               files::ReadAnimationFile(path, model.parts.count, model.animation));
}

bool OpenAnimationBytes(editing::Model& model, std::string_view bytes) {
    return FinishAnimationOpen(
        model, files::ParseAnimationFile(bytes, model.parts.count, model.animation));
}

}  // namespace app
