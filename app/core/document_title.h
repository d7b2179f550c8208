#pragma once
// The main window's title as desktop programs give it: the open part file's name, marked with
// '*' while a document holds changes that were not saved, then the program's name.

#include <string>
#include <string_view>

namespace app {

// "*robot.pwp - Posewrighter Version 1.02"; without a part file just the program's name (with
// the mark when unsaved: a new model). The file name is shown as text (Shift-JIS decoded).
std::string DocumentTitle(std::string_view modelPath, bool unsaved);

}  // namespace app
