#pragma once
// Putting finished files under their names all together or not at all.

#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "gfx/base/result.h"

namespace app {

struct FileMove {
    std::string from, to;
};

// Renames a file or folder; the error, or a zero value on success.
using RenameFile = std::function<std::error_code(const std::string& from, const std::string& to)>;

// std::filesystem::rename.
std::error_code RenameOnDisk(const std::string& from, const std::string& to);

// Renames each `from` to its `to`, in order. What a `to` name held before (a file or a link,
// not a folder, which makes the rename fail) is first moved into `asideFolder`, an existing
// empty folder on the same file system, where it stays for the caller to remove. When a step
// fails, the steps done are undone in reverse order: every `to` holds what it held before and
// every `from` its new file again; the error names the file that could not be written. Should
// an undo fail as well, the error says where the file it could not put back now lies.
gfx::Status ReplaceFilesTogether(const std::vector<FileMove>& moves, const std::string& asideFolder,
                                 const RenameFile& rename = RenameOnDisk);

}  // namespace app
