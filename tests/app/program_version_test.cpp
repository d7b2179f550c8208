// The version comes from the project's version in CMakeLists.txt, and every place that shows it
// shows that one: the window title, the command-line tool's --version and the glTF export's
// generator name.

#include "app/version/program_version.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "app/core/editor_look.h"
#include "tests/app/run_cli.h"

namespace {

namespace fs = std::filesystem;
using testing_cli::RunCli;

std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(ProgramVersion, IsTheProjectsVersion) {
    const std::string cmake = ReadText(POSEWRIGHTER_TEST_DATA "/../../CMakeLists.txt");
    std::smatch match;
    ASSERT_TRUE(
        std::regex_search(cmake, match, std::regex(R"(project\(Posewrighter VERSION ([0-9.]+))")));
    EXPECT_EQ(match[1].str(), app::kProgramVersion);
}

TEST(ProgramVersion, TitleVersionSwitchAndExportShowIt) {
    const std::string version = app::kProgramVersion;
    EXPECT_EQ(app::kMainWindowTitle, "Posewrighter Version " + version);

    const auto run = RunCli("--version");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "posewrighter-cli " + version + "\n");

    const fs::path dir =
        fs::temp_directory_path() / ("posewrighter_version_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string robot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp";
    const auto exported = RunCli("export " + robot + " -o '" + (dir / "v.gltf").string() + "'");
    EXPECT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_NE(ReadText(dir / "v.gltf").find("\"generator\": \"Posewrighter " + version + "\""),
              std::string::npos);
    fs::remove_all(dir);
}

}  // namespace
