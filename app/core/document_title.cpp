#include "app/core/document_title.h"

#include "app/core/editor_look.h"
#include "framework/asset_paths.h"
#include "framework/display_text.h"

namespace app {

std::string DocumentTitle(std::string_view modelPath, bool unsaved) {
    std::string title = unsaved ? "*" : "";
    const std::string_view name = framework::FileNamePart(modelPath);
    if (!name.empty()) title += framework::DisplayText(name) + " - ";
    return title + std::string(kMainWindowTitle);
}

}  // namespace app
