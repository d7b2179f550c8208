// Runs the built posewrighter-cli and compares its whole output.

#include <gtest/gtest.h>

#include <string>

#include "tests/app/run_cli.h"

namespace {

using testing_cli::CliRun;
using testing_cli::RunCli;

const std::string kData = std::string(POSEWRIGHTER_TEST_DATA) + "/cli/";

TEST(CliMeshInfoTest, ReportsCountsMaterialsAndBoundsOneFactALine) {
    const CliRun run = RunCli("mesh-info " + kData + "two_materials.x");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // Eight corners, each shared by three faces with different normals: 24 vertices.
    EXPECT_EQ(run.out,
              "vertices: 24\n"
              "faces: 12\n"
              "subsets: 2\n"
              "materials: 2\n"
              "material 0 diffuse: 0.35 0.45 0.7 1\n"
              "material 0 specular: 0.3 0.3 0.3 1\n"
              "material 0 emissive: 0.05 0.05 0.08 1\n"
              "material 0 power: 20\n"
              "material 0 texture: none\n"
              "material 1 diffuse: 0.9 0.75 0.2 1\n"
              "material 1 specular: 0.1 0.1 0.1 1\n"
              "material 1 emissive: 0 0 0 1\n"
              "material 1 power: 8\n"
              "material 1 texture: none\n"
              "box min: -0.6 0 -0.4\n"
              "box max: 0.6 1.6 0.4\n"
              "sphere centre: 0 0.8 0\n"
              "sphere radius: 1.07703\n");
}

TEST(CliMeshInfoTest, TakesAnObjFile) {
    const CliRun run =
        RunCli("mesh-info " + std::string(POSEWRIGHTER_TEST_DATA) + "/obj/textured.obj");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("faces: 3\nsubsets: 2\nmaterials: 2\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("material 0 texture: \"materials/picture.png\"\n"), std::string::npos)
        << run.out;
}

TEST(CliMeshInfoTest, FailureGivesTheReasonOnStandardErrorAndNonZeroExit) {
    for (const std::string file : {"missing.x", "index_out_of_range.x"}) {
        const CliRun run = RunCli("mesh-info " + kData + file);
        EXPECT_NE(run.exitCode, 0) << file;
        EXPECT_EQ(run.out, "") << file;
        EXPECT_EQ(run.err.rfind("mesh-info: ", 0), 0u) << run.err;
        EXPECT_GT(run.err.size(), std::string("mesh-info: \n").size()) << file;
    }
}

TEST(CliMeshInfoTest, WrongUsageExitsWithUsage) {
    EXPECT_EQ(RunCli("mesh-info").exitCode, 2);
    EXPECT_EQ(RunCli("no-such-command").exitCode, 2);
}

}  // namespace
