#include "app/cli/texture_warnings.h"

#include <ostream>

#include "app/export/texture_problems.h"

namespace cli {

void WarnAboutTextures(const editing::Model& model, std::string_view command, std::ostream& err) {
    for (const app::TextureProblem& problem : app::UnreadableTextures(model)) {
        err << command << ": warning: " << app::DescribeTextureProblem(problem) << "\n";
    }
}

}  // namespace cli
