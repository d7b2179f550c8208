#pragma once
// check and render draw a model whose textures could not be read (without them) and succeed,
// but say so, as export refuses such a model.

#include <iosfwd>
#include <string_view>

#include "editing/model.h"

namespace cli {

// One line on `err` for each texture the model could not read: "COMMAND: warning: part
// \"NAME\": the texture \"FILE\" cannot be read: REASON".
void WarnAboutTextures(const editing::Model& model, std::string_view command, std::ostream& err);

}  // namespace cli
