#pragma once
// The program's arguments as the runtime delivered them, and the switch test every module uses.

#include <string>
#include <string_view>
#include <vector>

namespace framework {

// Keeps a copy of argv; argument 0 is the program itself.
void SetCommandLine(int argc, const char* const* argv);
const std::vector<std::string>& CommandLineArguments();

// True when some argument after the program name equals the switch exactly (byte-wise,
// case-sensitive).
bool IsSwitchPresent(std::string_view name);

// The directory of the running executable, ending with "/"; empty when it cannot be found.
std::string ModuleDirectory();

}  // namespace framework
