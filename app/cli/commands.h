#pragma once
// The commands of posewrighter-cli. Each takes its arguments (after the command name), writes
// its report to `out` and its failure reason to `err`, and returns the process exit code.

#include <iosfwd>
#include <span>
#include <string>

namespace cli {

int RunMeshInfo(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunCheck(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunResave(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunResaveAnimation(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunRender(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunExport(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace cli
