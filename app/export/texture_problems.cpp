#include "app/export/texture_problems.h"

#include <algorithm>

#include "framework/display_text.h"
#include "gfx/image/image.h"

namespace app {

std::string TextureFailureReason(const std::string& file) {
    if (file.find('\0') != std::string::npos) return "the name holds a NUL character";
    const gfx::Result<gfx::Texture> loaded = gfx::CreateTextureFromFileEx(file, 0, 0, 1);
    if (loaded) return "it could not be read when the model was opened";
    // The decoder's reasons may begin with the file's name, which the message gives already.
    std::string reason = loaded.error();
    const std::string prefix = file + ": ";
    if (reason.starts_with(prefix)) reason.erase(0, prefix.size());
    return reason;
}

std::vector<TextureProblem> UnreadableTextures(const editing::Model& model) {
    std::vector<TextureProblem> problems;
    for (int i = 0; i < model.parts.count; ++i) {
        const scene::MeshObject& mesh = model.scene.mesh[i];
        std::vector<std::string> reported;
        for (std::size_t m = 0; m < mesh.textureFiles.size(); ++m) {
            const std::string& file = mesh.textureFiles[m];
            if (file.empty() || (m < mesh.textures.size() && mesh.textures[m] != nullptr)) continue;
            if (std::find(reported.begin(), reported.end(), file) != reported.end()) continue;
            reported.push_back(file);
            problems.push_back(
                {std::string(model.parts.Name(i)), file, TextureFailureReason(file)});
        }
    }
    return problems;
}

std::string DescribeTextureProblem(const TextureProblem& problem) {
    return "part \"" + framework::DisplayText(problem.part) + "\": the texture \"" +
           framework::DisplayText(problem.file) + "\" cannot be read: " + problem.reason;
}

}  // namespace app
