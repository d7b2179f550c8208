#pragma once
// Documents name their meshes and textures by the paths they were made with, often on Windows:
// relative paths with backslashes ("Textures\Rock.bmp", ".\test.png"), doubled separators,
// drive-letter paths from another machine ("C:\art\x.bmp"), names whose letter case differs
// from the file on disk. A path is resolved as a Windows program would find it here.

#include <string>
#include <string_view>

namespace framework {

// The text after the last "/" or "\" of a path.
std::string_view FileNamePart(std::string_view path);

// The folder of a file's path, ending with "/"; empty for a bare file name.
std::string FolderOf(std::string_view path);

// The existing file that `path`, named by a document in `folder`, stands for:
//   1. `path` itself when it names an existing file;
//   2. `path` read the Windows way ("\" and "/" both separate, runs of them count as one):
//      as it stands (relative to the current folder), then relative to `folder`, then its
//      file name alone in `folder` (the current folder when `folder` is empty, as it is for a
//      document opened by a bare relative name). A drive-letter path is only looked for by its
//      file name.
//   3. When none of those exists with the exact letter case, the same candidates again with
//      the case of each path component ignored (ASCII letters).
//   4. Steps 2 and 3 with the name in the other encoding: a path stored in Shift-JIS finds the
//      file named by its UTF-8 form, and a UTF-8 path the file named in Shift-JIS.
// When nothing is found, `path` comes back unchanged, so that the load fails naming what the
// document stores. Only regular files count: a folder of that name does not.
std::string LookUpBeside(std::string_view path, std::string_view folder);

}  // namespace framework
