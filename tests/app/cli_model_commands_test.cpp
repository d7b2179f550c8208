// check, resave and resave-anim through the built command-line tool.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/app/run_cli.h"

namespace {

namespace fs = std::filesystem;
using testing_cli::CliRun;
using testing_cli::RunCli;

const std::string kData = std::string(POSEWRIGHTER_TEST_DATA);

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class CliModelCommandsTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("cli_model_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A body with two arms, every mesh the test cube, written as the editor writes it.
    std::string WriteThreePartModel() {
        const std::string cube = kData + "/model/cube.x";
        std::string text = "short g_meshCount = 3;\r\n\r\nfloat g_scale = 2.000000f;\r\n\r\n";
        text +=
            "char g_name[3][64] = "
            "{\r\n\t\"body.x\",\r\n\t\"armL.x\",\r\n\t\"armR.x\",\r\n};\r\n\r\n";
        text += "char g_path[3][256] = {\r\n";
        for (int i = 0; i < 3; ++i) text += "\t\"" + cube + "\",\r\n";
        text +=
            "};\r\n\r\nshort g_parents[3] = {\r\n\t-1,\t// body.x\",\r\n\t0,\t// armL.x\",\r\n"
            "\t0,\t// armR.x\",\r\n};\r\n\r\nshort g_level[3] = {\r\n\t0,\t// body.x\",\r\n"
            "\t1,\t// armL.x\",\r\n\t1,\t// armR.x\",\r\n};\r\n\r\nVEC3 g_posDef[3] = {\r\n";
        for (int i = 0; i < 3; ++i) {
            text += "\tVEC3( +0.000000f, +0.000000f, +0.000000f),\t// x\r\n";
        }
        text += "};\r\n\r\nQUAT g_quaDef[3] = {\r\n";
        for (int i = 0; i < 3; ++i) {
            text += "\tQUAT( +0.000000f, +0.000000f, +0.000000f, +1.000000f),\t// x\r\n";
        }
        text += "};\r\n\r\n";
        const fs::path path = dir_ / "three.pwp";
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    fs::path dir_;
};

TEST_F(CliModelCommandsTest, ResaveReproducesTheWorkedExamplesByteForByte) {
    const std::string out = (dir_ / "out.pwp").string();
    CliRun run = RunCli("resave " + kData + "/files/two_parts.pwp " + out);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(out), ReadBytes(kData + "/files/two_parts.pwp"));

    const std::string anim = (dir_ / "out.pwa").string();
    run = RunCli("resave-anim " + kData + "/files/two_parts.pwp " + kData + "/files/two_keys.pwa " +
                 anim);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(anim), ReadBytes(kData + "/files/two_keys.pwa"));
    EXPECT_EQ(run.err, "");

    // A file whose first key without frames is followed by a posed key: only key 1 is written,
    // and standard error names what was left out.
    std::string gap = ReadBytes(kData + "/files/two_keys.pwa");
    gap.replace(gap.find("{10, 20}"), 8, "{10, 0}");
    const std::string gapped = (dir_ / "gap.pwa").string();
    std::ofstream(gapped, std::ios::binary) << gap;
    run = RunCli("resave-anim " + kData + "/files/two_parts.pwp " + gapped + " " + anim);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err,
              "resave-anim: key 2 not written: the animation ends before key 2, the first without "
              "frames\n");
}

TEST_F(CliModelCommandsTest, CheckPrintsTheTreeWithMeshesAndTheKeysInUse) {
    const std::string model = WriteThreePartModel();
    const std::string anim = (dir_ / "anim.pwa").string();
    // Three keys written for three parts; the third key's count of 0 ends the keys in use.
    std::string text = "short g_frameCount[2] = {12, 7};\r\n\r\nQUAT g_qua[2][3] = {\r\n";
    for (int k = 0; k < 2; ++k) {
        for (int j = 0; j < 3; ++j) {
            text += "\tQUAT( +0.000000f, +0.000000f, +0.000000f, +1.000000f),\t// p\r\n";
        }
        if (k == 0) text += "\r\n";
    }
    text += "};\r\n\r\nVEC3 g_pos[2][3] = {\r\n";
    for (int k = 0; k < 2; ++k) {
        for (int j = 0; j < 3; ++j)
            text += "\tVEC3( +0.000000f, +1.000000f, +0.000000f),\t\t// p\r\n";
        if (k == 0) text += "\r\n";
    }
    text += "};\r\n\r\n";
    std::ofstream(anim, std::ios::binary) << text;

    const CliRun run = RunCli("check " + model + " " + anim);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "parts: 3\n"
              "scale: 2\n"
              "part 0: body.x parent -1 level 0 vertices 24 faces 12 materials 1\n"
              "part 1: armL.x parent 0 level 1 vertices 24 faces 12 materials 1\n"
              "part 2: armR.x parent 0 level 1 vertices 24 faces 12 materials 1\n"
              "keys in use: 2\n"
              "key 1: 12 frames\n"
              "key 2: 7 frames\n");
}

TEST_F(CliModelCommandsTest, DocumentsThatDoNotReadFailWithTheMessageThePathAndTheReason) {
    const std::string model = WriteThreePartModel();
    const fs::path cut = dir_ / "cut.pwp";
    const std::string whole = ReadBytes(model);
    // Cut within the level of the second part (line 26), whatever the fixture's paths.
    std::size_t at = 0;
    for (int line = 1; line < 26; ++line) at = whole.find('\n', at) + 1;
    std::ofstream(cut, std::ios::binary) << whole.substr(0, at + 2);
    const std::string readFailed = "ファイルの読み込みに失敗しました。\n";
    const std::string cutReason =
        readFailed + cut.string() + "\nline 26: level: no ',' after the number\n";

    CliRun run = RunCli("check " + cut.string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, cutReason);
    EXPECT_EQ(run.out, "");

    // The two-key file belongs to a two-part model: it does not fit three parts.
    run = RunCli("check " + model + " " + kData + "/files/two_keys.pwa");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, readFailed + kData + "/files/two_keys.pwa\n" +
                           "line 6: key 1, part 2: found a blank or closing line (the file has "
                           "fewer parts than the open model?)\n");

    run = RunCli("resave " + cut.string() + " " + (dir_ / "never.pwp").string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, cutReason);
    EXPECT_FALSE(fs::exists(dir_ / "never.pwp"));

    // A missing file, an animation given as the model, and a relative path shown in full.
    run = RunCli("check " + (dir_ / "missing.pwp").string());
    EXPECT_EQ(run.err,
              readFailed + (dir_ / "missing.pwp").string() + "\nNo such file or directory\n");
    run = RunCli("check " + kData + "/files/two_keys.pwa");
    EXPECT_EQ(run.err,
              readFailed + kData + "/files/two_keys.pwa\n" +
                  "line 1: the part count is not an integer (an animation file, not a part "
                  "file)\n");
}

TEST_F(CliModelCommandsTest, AMissingMeshFailsCheckWithItsPath) {
    const CliRun run = RunCli("check " + kData + "/files/two_parts.pwp");
    EXPECT_EQ(run.exitCode, 1);
    // The worked example names meshes of another machine: the first one cannot be read.
    EXPECT_EQ(run.err,
              "ファイルの読み込みに失敗しました。\nC:\\parts\\body.x\n"
              "cannot open the file: No such file or directory\n");
}

TEST_F(CliModelCommandsTest, MeshesFromAnotherMachineAreFoundBesideThePartFile) {
    // The worked example names C:\parts\body.x and C:\parts\arm.x.
    fs::copy_file(kData + "/files/two_parts.pwp", dir_ / "two_parts.pwp");
    fs::copy_file(kData + "/model/cube.x", dir_ / "body.x");
    fs::copy_file(kData + "/model/cube.x", dir_ / "arm.x");
    const CliRun run = RunCli("check " + (dir_ / "two_parts.pwp").string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "parts: 2\n"
              "scale: 1\n"
              "part 0: body.x parent -1 level 0 vertices 24 faces 12 materials 1\n"
              "part 1: arm.x parent 0 level 1 vertices 24 faces 12 materials 1\n"
              "keys in use: 0\n");
    // The stored paths are unchanged.
    const std::string out = (dir_ / "out.pwp").string();
    ASSERT_EQ(RunCli("resave " + (dir_ / "two_parts.pwp").string() + " " + out).exitCode, 0);
    EXPECT_EQ(ReadBytes(out), ReadBytes(kData + "/files/two_parts.pwp"));
}

}  // namespace

TEST_F(CliModelCommandsTest, SpecialFilesAreRefusedWithTheReasonInsteadOfReadForEver) {
    // A device as a mesh would never end; a FIFO as a part or animation file would never start.
    std::string model = ReadBytes(WriteThreePartModel());
    const std::string cube = kData + "/model/cube.x";
    model.replace(model.find(cube), cube.size(), "/dev/zero");
    std::ofstream(dir_ / "zero.pwp", std::ios::binary) << model;
    const std::string fifo = (dir_ / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    const std::string readFailed = "ファイルの読み込みに失敗しました。\n";
    CliRun run = RunCli("check " + (dir_ / "zero.pwp").string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, readFailed + "/dev/zero\ncannot open the file: not a regular file\n");
    run = RunCli("check " + fifo);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, readFailed + fifo + "\nnot a regular file\n");
    run = RunCli("check " + WriteThreePartModel() + " " + fifo);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, readFailed + fifo + "\nnot a regular file\n");
}

TEST_F(CliModelCommandsTest, AModelSavedIntoAnotherFolderStillOpensItsMeshes) {
    // The sample names its meshes beside it ("body.x"): saved elsewhere, the paths follow.
    const fs::path elsewhere = dir_ / "elsewhere";
    fs::create_directories(elsewhere);
    const std::string robot = kData + "/../../samples/robot/robot.pwp";
    CliRun run = RunCli("resave " + robot + " " + (elsewhere / "robot.pwp").string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string saved = ReadBytes(elsewhere / "robot.pwp");
    EXPECT_NE(saved.find("/samples/robot/body.x\",\r\n"), std::string::npos) << saved;
    const CliRun original = RunCli("check " + robot);
    run = RunCli("check " + (elsewhere / "robot.pwp").string());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, original.out);
}

TEST_F(CliModelCommandsTest, ShiftJisNamesAreShownReadableFoundOnDiskAndResavedByteForByte) {
    // A part file from a Windows tool: the name and the mesh path in Shift-JIS (頭パーツ.x),
    // the mesh unpacked here under its UTF-8 name.
    const std::string sjis = "\x93\xaa\x83\x70\x81\x5b\x83\x63.x";
    fs::copy_file(kData + "/model/cube.x", dir_ / "頭パーツ.x");
    std::string text = ReadBytes(WriteThreePartModel());
    const std::string cube = kData + "/model/cube.x";
    text.replace(text.find("\"body.x\""), 8, "\"" + sjis + "\"");
    text.replace(text.find(cube), cube.size(), "C:\\models\\" + sjis);
    std::ofstream(dir_ / "sjis.pwp", std::ios::binary) << text;

    CliRun run = RunCli("check " + (dir_ / "sjis.pwp").string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n', run.out.find("part 0")) + 1),
              "parts: 3\nscale: 2\npart 0: 頭パーツ.x parent -1 level 0 vertices 24 faces 12 "
              "materials 1\n");
    run = RunCli("resave " + (dir_ / "sjis.pwp").string() + " " + (dir_ / "again.pwp").string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // The file's comments are the writer's own; the name and the path keep every byte.
    const std::string again = ReadBytes(dir_ / "again.pwp");
    EXPECT_NE(again.find("\t\"" + sjis + "\",\r\n"), std::string::npos);
    EXPECT_NE(again.find("\t\"C:\\models\\" + sjis + "\",\r\n"), std::string::npos);
    run = RunCli("resave " + (dir_ / "again.pwp").string() + " " + (dir_ / "third.pwp").string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir_ / "third.pwp"), again);
}
