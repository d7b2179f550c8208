#pragma once
// The textures an opened model names but could not read, with the reason, so that every
// command reports them: export refuses such a model, check and render warn about them.

#include <string>
#include <vector>

#include "editing/model.h"

namespace app {

struct TextureProblem {
    std::string part;    // the part's name
    std::string file;    // the texture file as it was looked up
    std::string reason;  // why it cannot be read, without the file's name
    friend bool operator==(const TextureProblem&, const TextureProblem&) = default;
};

// Why a texture file cannot be read, from reading it again with the image decoder (without the
// file's name).
std::string TextureFailureReason(const std::string& file);

// One entry per part and texture file that part's mesh could not load, in part order. The
// reason comes from reading the file again with the image decoder.
std::vector<TextureProblem> UnreadableTextures(const editing::Model& model);

// "part \"NAME\": the texture \"FILE\" cannot be read: REASON".
std::string DescribeTextureProblem(const TextureProblem& problem);

}  // namespace app
