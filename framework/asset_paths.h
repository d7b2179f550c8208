#pragma once
// Documents name their meshes and textures by the paths they were made with: relative paths,
// or paths from another machine such as C:\parts\body.x. A path that does not exist as written
// is looked up, by its file name, in the folder of the document that names it.

#include <string>
#include <string_view>

namespace framework {

// The text after the last "/" or "\" of a path.
std::string_view FileNamePart(std::string_view path);

// The folder of a file's path, ending with "/"; empty for a bare file name.
std::string FolderOf(std::string_view path);

// `path` when it names an existing file; otherwise `folder` + its file name when that exists;
// otherwise `path` unchanged (the caller's load then fails naming what was stored).
std::string LookUpBeside(std::string_view path, std::string_view folder);

}  // namespace framework
