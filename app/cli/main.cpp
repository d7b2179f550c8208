// posewrighter-cli: the headless command-line tool.

#include <iostream>
#include <string>
#include <vector>

#include "app/cli/commands.h"
#include "app/version/program_version.h"
#include "framework/command_line.h"
#include "framework/debug_log.h"

namespace {

constexpr const char* kUsage =
    "usage: posewrighter-cli COMMAND ARGS...\n"
    "commands:\n"
    "  mesh-info FILE.x|FILE.obj            what the mesh loader makes of a .x or .obj file\n"
    "  check MODEL.pwp [ANIM.pwa]           open a model (meshes loaded) and its animation\n"
    "  resave IN.pwp OUT.pwp                read and write back a part file\n"
    "  resave-anim MODEL.pwp IN.pwa OUT.pwa read and write back an animation file\n"
    "  render MODEL.pwp [--anim ANIM.pwa --key K] [--select N] [--outline] [--onion]\n"
    "         [--no-grid] [--eye X,Y,Z --target X,Y,Z] [--size WxH] -o OUT.png\n"
    "                                       draw one frame of the editor's view headless\n"
    "                                       (640x480 pixels unless --size says; --onion adds\n"
    "                                       the keys beside K as ghosts)\n"
    "  export MODEL.pwp [ANIM.pwa] -o OUT.glb|OUT.gltf\n"
    "                                       the model and its playback loop as glTF 2.0\n"
    "switches:\n"
    "  -dbf                                 append the debug log to debug.txt in the settings\n"
    "                                       folder\n"
    "  --help, --version                    print this text or the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    framework::SetCommandLine(argc, argv);
    if (argc < 2) {
        std::cerr << kUsage;
        return 2;
    }
    // The debug log stays out of the error stream unless asked for.
    if (framework::IsSwitchPresent("-dbf")) {
        framework::InitDebugStream();
    } else {
        framework::ProcessLog().Discard();
    }
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) != "-dbf") words.emplace_back(argv[i]);
    }
    if (words.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string command = words[0];
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (command == "mesh-info") return cli::RunMeshInfo(args, std::cout, std::cerr);
    if (command == "check") return cli::RunCheck(args, std::cout, std::cerr);
    if (command == "resave") return cli::RunResave(args, std::cout, std::cerr);
    if (command == "resave-anim") return cli::RunResaveAnimation(args, std::cout, std::cerr);
    if (command == "render") return cli::RunRender(args, std::cout, std::cerr);
    if (command == "export") return cli::RunExport(args, std::cout, std::cerr);
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "--version") {
        std::cout << "posewrighter-cli " << app::kProgramVersion << "\n";
        return 0;
    }
    std::cerr << "posewrighter-cli: unknown command \"" << command << "\"\n" << kUsage;
    return 2;
}
