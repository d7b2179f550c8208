// posewrighter-cli: the headless command-line tool.

#include <iostream>
#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "framework/command_line.h"

namespace {

constexpr const char* kUsage =
    "usage: posewrighter-cli COMMAND ARGS...\n"
    "commands:\n"
    "  mesh-info FILE.x    what the mesh loader makes of a .x file\n";

}  // namespace

int main(int argc, char** argv) {
    framework::SetCommandLine(argc, argv);
    if (argc < 2) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "mesh-info") return cli::RunMeshInfo(args, std::cout, std::cerr);
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    std::cerr << "posewrighter-cli: unknown command \"" << command << "\"\n" << kUsage;
    return 2;
}
