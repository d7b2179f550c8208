// export through the built command-line tool: what a .gltf export leaves in its folder, and the
// failures, each with its message and nothing under the output names.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "model/model.h"
#include "tests/app/run_cli.h"

namespace {

namespace fs = std::filesystem;
using testing_cli::CliRun;
using testing_cli::RunCli;

const std::string kRobot = std::string(POSEWRIGHTER_TEST_DATA) + "/../../samples/robot";
const std::string kUsage =
    "usage: posewrighter-cli export MODEL.pwp [ANIM.pwa] -o OUT.glb|OUT.gltf\n";

std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class CliExportTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("cli_export_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "out");
        // The robot with its face texture broken.
        fs::copy(kRobot, dir_ / "robot");
        std::ofstream(dir_ / "robot" / "face.png", std::ios::binary) << "not a picture";
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(CliExportTest, GltfLeavesItsJsonBinaryAndImagesAndNothingElse) {
    const std::string out = (dir_ / "out" / "Walk Cycle.gltf").string();
    const CliRun run =
        RunCli("export " + kRobot + "/robot.pwp " + kRobot + "/robot.pwa -o '" + out + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Listing(dir_ / "out"),
              (std::set<std::string>{"Walk Cycle.gltf", "Walk_Cycle.bin", "Walk_Cycle_0.png",
                                     "Walk_Cycle_1.png"}));
    const std::string json = ReadBytes(out);
    EXPECT_NE(json.find("\"uri\": \"Walk_Cycle.bin\""), std::string::npos);
    EXPECT_EQ(ReadBytes(dir_ / "out" / "Walk_Cycle_0.png").substr(1, 3), "PNG");
}

TEST_F(CliExportTest, FailuresExplainThemselvesAndLeaveTheOutputNamesAlone) {
    const std::string out = (dir_ / "out").string();
    const std::string broken = (dir_ / "robot").string();
    // A previous export under the output names stays as it was.
    std::ofstream(dir_ / "out" / "old.glb") << "previous";
    std::ofstream(dir_ / "out" / "old.gltf") << "previous";
    std::ofstream(dir_ / "missing.pwp", std::ios::binary)
        << "short g_meshCount = 1;\r\n\r\nfloat g_scale = 1.000000f;\r\n\r\n"
           "char g_name[1][64] = {\r\n\t\"gone.x\",\r\n};\r\n\r\n"
           "char g_path[1][256] = {\r\n\t\"gone.x\",\r\n};\r\n\r\n"
           "short g_parents[1] = {\r\n\t-1,\t// gone.x\",\r\n};\r\n\r\n"
           "short g_level[1] = {\r\n\t0,\t// gone.x\",\r\n};\r\n\r\n"
           "VEC3 g_posDef[1] = {\r\n\tVEC3( +0.000000f, +0.000000f, +0.000000f),\t// "
           "x\r\n};\r\n\r\n"
           "QUAT g_quaDef[1] = {\r\n\tQUAT( +0.000000f, +0.000000f, +0.000000f, +1.000000f),"
           "\t// x\r\n};\r\n\r\n";
    const std::string textureFailure =
        "export: part \"head.x\": the texture \"" + broken + "/face.png\" cannot be read\n";
    const struct {
        std::string args;
        int exitCode;
        std::string err;
    } cases[] = {
        {"", 2, kUsage},
        {kRobot + "/robot.pwp", 2, kUsage},
        {kRobot + "/robot.pwp -o", 2, "export: unknown or repeated option \"-o\"\n" + kUsage},
        {kRobot + "/robot.pwp --fast -o " + out + "/a.glb", 2,
         "export: unknown or repeated option \"--fast\"\n" + kUsage},
        {kRobot + "/robot.pwp a.pwa b.pwa -o " + out + "/a.glb", 2, kUsage},
        {kRobot + "/robot.pwp -o " + out + "/old.obj", 1,
         "export: \"" + out + "/old.obj\" does not end in .glb or .gltf\n"},
        {(dir_ / "missing.pwp").string() + " -o " + out + "/old.glb", 1,
         std::string(model::kReadFailedMessage) +
             "\ngone.x\ncannot open the file: No such file or directory\n"},
        {broken + "/robot.pwp -o " + out + "/old.glb", 1, textureFailure},
        {broken + "/robot.pwp -o " + out + "/old.gltf", 1, textureFailure},
        {kRobot + "/robot.pwp -o " + out + "/no/such/folder/a.gltf", 1,
         "export: cannot write beside \"" + out +
             "/no/such/folder/a.gltf\": No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli("export " + c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
        EXPECT_EQ(run.err, c.err) << c.args;
        EXPECT_EQ(Listing(dir_ / "out"), (std::set<std::string>{"old.glb", "old.gltf"})) << c.args;
        EXPECT_EQ(ReadBytes(dir_ / "out" / "old.glb"), "previous");
    }
}

}  // namespace
