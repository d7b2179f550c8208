#pragma once
// A part file names its meshes by paths that are often relative to the file's own folder. Saved
// into another folder, such paths would name nothing: they are written relative to the new one.

#include <string>
#include <string_view>
#include <vector>

#include "model/part_table.h"

namespace files {

// The paths `table` must hold to be saved in `toFolder` and still name the meshes it names from
// `fromFolder` (both folders as FolderOf gives them; empty = the current folder). A path stays
// as it is when it is absolute (a '/' path or a drive letter), when it already names an existing
// file from `toFolder`, or when its file cannot be found from `fromFolder`. Any other becomes
// the found file's path relative to `toFolder` ('/' separators), or its absolute path when the
// relative one does not fit the field. One entry per part, in table order.
std::vector<std::string> MeshPathsFor(const model::PartTable& table, std::string_view fromFolder,
                                      std::string_view toFolder);

// Puts `paths` into the table's path fields; the previous paths come back, for undoing it.
std::vector<std::string> ReplaceMeshPaths(model::PartTable& table,
                                          const std::vector<std::string>& paths);

}  // namespace files
