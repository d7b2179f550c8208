// check and render on a model whose textures cannot be read: they succeed, and say which
// texture and why on standard error, as export refuses the model for the same reason.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/app/run_cli.h"

namespace {

namespace fs = std::filesystem;
using testing_cli::CliRun;
using testing_cli::RunCli;

const fs::path kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot";

class CliTextureWarningsTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("cli_texture_warnings_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        // The robot with its face texture broken and its chest texture gone.
        fs::copy(kRobot, dir_);
        std::ofstream(dir_ / "face.png", std::ios::binary) << "not a picture";
        fs::remove(dir_ / "chest.jpg");
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(CliTextureWarningsTest, CheckAndRenderWarnNamingTheTextureAndTheReason) {
    const std::string model = (dir_ / "robot.pwp").string();
    const std::string warnings =
        ": warning: part \"body.x\": the texture \"chest.jpg\" cannot be read: cannot open: No "
        "such file or directory\n"
        "COMMAND: warning: part \"head.x\": the texture \"" +
        (dir_ / "face.png").string() +
        "\" cannot be read: unrecognised image format (not BMP, PNG, JPEG, TGA or DDS)\n";
    for (const std::string command : {"check", "render"}) {
        SCOPED_TRACE(command);
        const std::string output = command == "render" ? " -o " + (dir_ / "r.png").string() : "";
        const CliRun run = RunCli(command + " " + model + output);
        EXPECT_EQ(run.exitCode, 0);
        std::string expected = command + warnings;
        expected.replace(expected.find("COMMAND"), 7, command);
        EXPECT_EQ(run.err, expected);
    }
    EXPECT_TRUE(fs::exists(dir_ / "r.png"));

    // With its textures readable the model draws without a word.
    for (const std::string command : {"check", "render"}) {
        const std::string output = command == "render" ? " -o " + (dir_ / "r.png").string() : "";
        const CliRun run = RunCli(command + " " + (kRobot / "robot.pwp").string() + output);
        EXPECT_EQ(run.exitCode, 0) << command;
        EXPECT_EQ(run.err, "") << command;
    }
}

}  // namespace
