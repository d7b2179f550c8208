#include "app/startup_documents.h"

#include "files/documents.h"

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

void OpenStartupDocuments(model::Model& model, const StartupDocuments& documents) {
    if (documents.model.empty()) return;
    if (!files::OpenPartFile(model, documents.model)) return;
    if (!documents.animation.empty()) files::OpenAnimationFile(model, documents.animation);
}

}  // namespace app
