#include "app/core/startup_documents.h"

#include "app/core/documents.h"

namespace app {

namespace {

bool IsSwitch(const std::string& argument) {
    return argument.starts_with('-') || argument == "/3ds" || argument == "/fx";
}

}  // namespace

StartupDocuments StartupDocumentsFromArguments(std::span<const std::string> arguments) {
    StartupDocuments documents;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.empty() || IsSwitch(argument)) continue;
        if (documents.model.empty()) {
            documents.model = argument;
        } else if (documents.animation.empty()) {
            documents.animation = argument;
        }
    }
    return documents;
}

void OpenStartupDocuments(Session& session, const StartupDocuments& documents) {
    // Failed reads leave an empty table or animation, which match no file.
    const bool modelOpened =
        !documents.model.empty() && app::OpenPartFile(session.model, documents.model);
    NoteModelSaved(session, modelOpened ? documents.model : std::string());
    const bool animationOpened = modelOpened && !documents.animation.empty() &&
                                 app::OpenAnimationFile(session.model, documents.animation);
    NoteAnimationSaved(session, animationOpened ? documents.animation : std::string());
    // The panels were made before these documents opened: the Animation panel shows key 1 as
    // it is now, not as it was in the empty animation.
    session.panelObserver().KeyShown(1);
}

}  // namespace app
