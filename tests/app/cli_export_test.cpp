// export through the built command-line tool: what a .gltf export leaves in its folder, and the
// failures, each with its message and nothing under the output names.

#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "editing/model.h"
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
              (std::set<std::string>{"Walk Cycle.gltf", "Walk_20Cycle.bin", "Walk_20Cycle_0.png",
                                     "Walk_20Cycle_1.png"}));
    const std::string json = ReadBytes(out);
    EXPECT_NE(json.find("\"uri\": \"Walk_20Cycle.bin\""), std::string::npos);
    EXPECT_EQ(ReadBytes(dir_ / "out" / "Walk_20Cycle_0.png").substr(1, 3), "PNG");
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
        "export: part \"head.x\": the texture \"" + broken +
        "/face.png\" cannot be read: "
        "unrecognised image format (not BMP, PNG, JPEG, TGA or DDS)\n";
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
         std::string(editing::kReadFailedMessage) +
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

// Replaces the one occurrence of `from` in the file with `to`.
void Edit(const fs::path& path, const std::string& from, const std::string& to) {
    std::string text = ReadBytes(path);
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << path << ": " << from;
    text.replace(at, from.size(), to);
    std::ofstream(path, std::ios::binary) << text;
}

bool LoadsWhole(const fs::path& gltf) {
    tinygltf::Model model;
    std::string error, warning;
    tinygltf::TinyGLTF reader;
    return reader.LoadASCIIFromFile(&model, &error, &warning, gltf.string());
}

TEST_F(CliExportTest, SideFilesNeverReplaceATextureOfTheModel) {
    // The head's texture is called robot_1.png, the name the second image of robot.gltf
    // would take beside it.
    const fs::path robot = dir_ / "robot";
    fs::copy_file(kRobot + "/face.png", robot / "robot_1.png");
    fs::remove(robot / "face.png");
    Edit(robot / "head.x", "\"face.png\"", "\"robot_1.png\"");
    const std::string texture = ReadBytes(robot / "robot_1.png");

    const CliRun run =
        RunCli("export " + (robot / "robot.pwp").string() + " " + (robot / "robot.pwa").string() +
               " -o " + (robot / "robot.gltf").string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadBytes(robot / "robot_1.png"), texture);
    for (const char* name : {"robot.gltf", "robot.bin", "robot_0.png", "robot_1~1.png"}) {
        EXPECT_TRUE(fs::exists(robot / name)) << name;
    }
    const std::string json = ReadBytes(robot / "robot.gltf");
    EXPECT_NE(json.find("\"uri\": \"robot_1~1.png\""), std::string::npos);
    EXPECT_EQ(json.find("\"uri\": \"robot_1.png\""), std::string::npos);
    EXPECT_TRUE(LoadsWhole(robot / "robot.gltf"));
}

TEST_F(CliExportTest, ExportsUnderNamesThatDifferOnlyInOddCharactersShareNoFile) {
    // Different models (with and without the animation), so a shared .bin would not fit one.
    const std::string out = (dir_ / "out").string();
    const std::string model = kRobot + "/robot.pwp", walk = kRobot + "/robot.pwa";
    for (const std::string& args :
         {model + " " + walk + " -o '" + out + "/a b.gltf'", model + " -o '" + out + "/a_b.gltf'",
          model + " " + walk + " -o '" + out + "/a_20b.gltf'",
          model + " -o '" + out + "/a_b.GLTF'"}) {
        const CliRun run = RunCli("export " + args);
        ASSERT_EQ(run.exitCode, 0) << args << "\n" << run.err;
    }
    EXPECT_EQ(Listing(dir_ / "out"),
              (std::set<std::string>{
                  "a b.gltf", "a_20b.bin", "a_20b_0.png", "a_20b_1.png",          //
                  "a_b.gltf", "a_5Fb.bin", "a_5Fb_0.png", "a_5Fb_1.png",          //
                  "a_20b.gltf", "a_5F20b.bin", "a_5F20b_0.png", "a_5F20b_1.png",  //
                  "a_b.GLTF", "a_5Fb_2EGLTF.bin", "a_5Fb_2EGLTF_0.png", "a_5Fb_2EGLTF_1.png"}));
    for (const char* name : {"a b.gltf", "a_b.gltf", "a_20b.gltf", "a_b.GLTF"}) {
        EXPECT_TRUE(LoadsWhole(dir_ / "out" / name)) << name;
    }
}

TEST_F(CliExportTest, AFailedRenamePutsBackEveryFileItReplaced) {
    // A previous export's files, and a folder where the .gltf would go: the images and the
    // .bin are renamed into place before the .gltf's rename fails.
    const fs::path out = dir_ / "out";
    for (const char* name : {"walk.bin", "walk_0.png", "walk_1.png"}) {
        std::ofstream(out / name) << "previous " << name;
    }
    fs::create_directories(out / "walk.gltf" / "inside");
    const CliRun run = RunCli("export " + kRobot + "/robot.pwp " + kRobot + "/robot.pwa -o " +
                              (out / "walk.gltf").string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "export: cannot write \"" + (out / "walk.gltf").string() + "\": Is a directory\n");
    EXPECT_EQ(Listing(out),
              (std::set<std::string>{"walk.bin", "walk_0.png", "walk_1.png", "walk.gltf"}));
    for (const char* name : {"walk.bin", "walk_0.png", "walk_1.png"}) {
        EXPECT_EQ(ReadBytes(out / name), std::string("previous ") + name);
    }
    EXPECT_EQ(Listing(out / "walk.gltf"), std::set<std::string>{"inside"});
}

TEST_F(CliExportTest, PosesThatOverflowAreRefusedNamingThePartAndTheKey) {
    // Finite numbers in the files whose length or composition is no finite number.
    const fs::path robot = dir_ / "robot";
    const std::string huge = "+300000000000000000000000000000000000000.000000f";
    fs::copy_file(kRobot + "/face.png", robot / "face.png", fs::copy_options::overwrite_existing);
    fs::copy_file(robot / "robot.pwp", robot / "turned.pwp");
    Edit(robot / "turned.pwp", "QUAT( +0.000000f, +0.000000f, +0.000000f, +1.000000f),\t// head.x",
         "QUAT( " + huge + ", " + huge + ", +0.000000f, " + huge + "),\t// head.x");
    // Key 2 of the walk: the left upper arm's rotation.
    fs::copy_file(robot / "robot.pwa", robot / "turned.pwa");
    Edit(robot / "turned.pwa", "QUAT( +0.026177f, +0.000000f, +0.000000f, +0.999657f)",
         "QUAT( " + huge + ", +0.000000f, " + huge + ", +1.000000f)");
    // Half the scale doubles the body's children's key positions past the largest float.
    fs::copy_file(robot / "robot.pwp", robot / "small.pwp");
    Edit(robot / "small.pwp", "float g_scale = 1.000000f;", "float g_scale = 0.500000f;");
    fs::copy_file(robot / "robot.pwa", robot / "far.pwa");
    std::string far = ReadBytes(robot / "far.pwa");
    const std::size_t positions = far.find("VEC3 g_pos");
    ASSERT_NE(positions, std::string::npos);
    const std::size_t head = far.find("// head.x", positions);
    const std::size_t line = far.rfind("VEC3(", head);
    far.replace(line, head - line, "VEC3( " + huge + ", +0.000000f, +0.000000f),\t");
    std::ofstream(robot / "far.pwa", std::ios::binary) << far;

    const std::string p = robot.string() + "/";
    const std::string tail = " does not give finite numbers (its values are too large)\n";
    const struct {
        std::string documents, err;
    } cases[] = {
        {p + "turned.pwp", "export: part \"head.x\", default pose: the rotation" + tail},
        {p + "robot.pwp " + p + "turned.pwa",
         "export: part \"upper_arm_l.x\", key 2: the rotation" + tail},
        {p + "small.pwp " + p + "far.pwa", "export: part \"head.x\", key 1: the position" + tail},
    };
    for (const auto& c : cases) {
        for (const char* output : {"/walk.glb", "/walk.gltf"}) {
            const CliRun run =
                RunCli("export " + c.documents + " -o " + (dir_ / "out").string() + output);
            EXPECT_EQ(run.exitCode, 1) << c.documents;
            EXPECT_EQ(run.err, c.err) << c.documents;
            EXPECT_EQ(Listing(dir_ / "out"), std::set<std::string>{}) << c.documents;
        }
    }
}

}  // namespace
