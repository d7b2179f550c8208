#include "app/core/document_record.h"

#include "app/core/session.h"
#include "files/animation_file.h"
#include "files/part_file.h"

namespace app {

void NoteModelSaved(Session& session, const std::string& path) {
    DocumentRecord& record = session.documents;
    record.modelPath = path;
    auto bytes = files::FormatPartFile(session.model.parts);
    record.savedModel = bytes ? std::optional(std::move(*bytes)) : std::nullopt;
    ++record.revision;
}

void NoteAnimationSaved(Session& session, const std::string& path) {
    DocumentRecord& record = session.documents;
    record.animationPath = path;
    auto bytes = files::FormatAnimationFile(session.model.animation, session.model.parts);
    record.savedAnimation = bytes ? std::optional(std::move(*bytes)) : std::nullopt;
    ++record.revision;
}

}  // namespace app
