#pragma once
// Runs the built posewrighter-cli with arguments and collects its exit code and both streams.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testing_cli {

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

inline CliRun RunCli(const std::string& arguments) {
    const auto errPath =
        std::filesystem::temp_directory_path() / ("cli_err_" + std::to_string(::getpid()) + ".txt");
    const std::string command =
        std::string(POSEWRIGHTER_CLI) + " " + arguments + " 2>" + errPath.string();
    CliRun run;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
        const int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::ifstream errFile(errPath);
    std::stringstream err;
    err << errFile.rdbuf();
    run.err = err.str();
    std::filesystem::remove(errPath);
    return run;
}

}  // namespace testing_cli
