#pragma once
// How a mesh file's reader finds the files it names (a material library, a buffer, a picture):
// the caller's rule, so that names written on Windows (backslashes, another letter case, another
// encoding) are found as the editor finds a document's other files.

#include <functional>
#include <string>
#include <string_view>

namespace gfx {

// The path of the file that `name`, written in a file in `folder` (ending with "/"), stands
// for; `name` itself when nothing is found, so that the failure names it.
using FindFile = std::function<std::string(std::string_view name, std::string_view folder)>;

// Without a rule of the caller's: the name read relative to the folder, with either slash.
inline std::string FindBesideWithEitherSlash(std::string_view name, std::string_view folder) {
    std::string relative(name);
    for (char& c : relative) {
        if (c == '\\') c = '/';
    }
    return relative.starts_with('/') ? relative : std::string(folder) + relative;
}

}  // namespace gfx
