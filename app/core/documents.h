#pragma once
// Opening and saving documents as the editor does: the reader or writer, then the model's
// own follow-up (meshes loaded, table emptied on failure), failures shown in the notice box.

#include <string>
#include <string_view>

#include "editing/model.h"

namespace app {

// Reads the part file into the model and loads every mesh; the model starts in its default
// pose. On failure the notice is shown and the table is emptied.
bool OpenPartFile(editing::Model& model, const std::string& path);

// As OpenPartFile, from the file's bytes; `path` is where the file belongs (meshes are looked
// up beside it), which may be empty.
bool OpenPartBytes(editing::Model& model, std::string_view bytes, const std::string& path);

// Reads the animation file into the model's animation for its current part count. On failure
// the notice is shown and the animation is left empty.
bool OpenAnimationFile(editing::Model& model, const std::string& path);

// As OpenAnimationFile, from the file's bytes.
bool OpenAnimationBytes(editing::Model& model, std::string_view bytes);

}  // namespace app
