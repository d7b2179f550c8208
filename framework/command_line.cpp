#include "framework/command_line.h"

#include <unistd.h>

#include <array>

namespace framework {

namespace {
std::vector<std::string>& Arguments() {
    static std::vector<std::string> arguments;
    return arguments;
}
}  // namespace

void SetCommandLine(int argc, const char* const* argv) {
    Arguments().assign(argv, argv + argc);
}

const std::vector<std::string>& CommandLineArguments() {
    return Arguments();
}

bool IsSwitchPresent(std::string_view name) {
    const auto& args = Arguments();
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == name) return true;
    }
    return false;
}

std::string ModuleDirectory() {
    std::array<char, 4096> buffer{};
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return {};
    std::string path(buffer.data(), static_cast<std::size_t>(length));
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    path.resize(slash + 1);
    return path;
}

}  // namespace framework
