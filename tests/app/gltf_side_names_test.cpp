// The names of a .gltf's side files: escaped reversibly from the output's name, and moved off
// any name that is already one of the export's inputs.

#include "app/export/gltf_side_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(GltfSideNames, BaseNamesEscapeEveryByteOtherThanLettersDigitsDotAndDash) {
    const std::pair<std::string, std::string> cases[] = {
        {"robot.gltf", "robot"},
        {"Walk Cycle.gltf", "Walk_20Cycle"},
        {"a_b.gltf", "a_5Fb"},
        {"a_20b.gltf", "a_5F20b"},
        {"v1.2-final.gltf", "v1.2-final"},
        {"~x%.gltf", "_7Ex_25"},
        {"\xE8\x85\x95.gltf", "_E8_85_95"},
        {"robot.GLTF", "robot_2EGLTF"},
        {"robot.glTF", "robot_2EglTF"},
        {".gltf", ""},
    };
    for (const auto& [name, base] : cases) EXPECT_EQ(app::GltfSideBaseName(name), base) << name;
}

TEST(GltfSideNames, DifferentOutputNamesNeverShareASideFile) {
    // Names that a lossy mapping would merge.
    const std::vector<std::string> outputs = {
        "a b.gltf",   "a_b.gltf",      "a_20b.gltf", "a?b.gltf",   "a.gltf",   "a.GLTF",
        "a.Gltf",     "a_2EGLTF.gltf", "a_0.gltf",   "a_0_1.gltf", "a~1.gltf", "a.GLTF.gltf",
        "a_5Fb.gltf", "_.gltf",        "__.gltf",    "_5F.gltf",   ".gltf",    "a-1.gltf",
    };
    std::set<std::string> seen;
    std::size_t count = 0;
    for (const std::string& output : outputs) {
        const app::GltfSideNames names = app::PickGltfSideNames("", output, 12, {});
        seen.insert(names.bin);
        seen.insert(names.images.begin(), names.images.end());
        count += 1 + names.images.size();
    }
    EXPECT_EQ(seen.size(), count);
}

class GltfSideNamesOnDisk : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("gltf_side_names_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "textures");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Make(const std::string& name) {
        std::ofstream(dir_ / name) << name;
        return (dir_ / name).string();
    }
    std::string folder() const { return dir_.string() + "/"; }
    fs::path dir_;
};

TEST_F(GltfSideNamesOnDisk, NamesOfInputsAreSkippedWithATildeAndANumber) {
    const std::string bin = Make("out.bin");
    const std::string image1 = Make("out_1.png");
    const std::string taken = Make("out_1~1.png");
    Make("out_0.png");  // a previous export's image, not an input: replaced as usual
    // The inputs as the model names them: another spelling and a link count too.
    fs::create_symlink(dir_ / "out_1~1.png", dir_ / "textures" / "link.png");
    const std::vector<std::string> inputs = {dir_.string() + "/textures/../out.bin", image1,
                                             (dir_ / "textures" / "link.png").string(),
                                             "/no/such/file.png", ""};
    const app::GltfSideNames names = app::PickGltfSideNames(folder(), "out.gltf", 3, inputs);
    EXPECT_EQ(names, (app::GltfSideNames{"out~1.bin", {"out_0.png", "out_1~2.png", "out_2.png"}}));
    EXPECT_EQ(app::PickGltfSideNames(folder(), "out.gltf", 3, {}),
              (app::GltfSideNames{"out.bin", {"out_0.png", "out_1.png", "out_2.png"}}));
    EXPECT_EQ(app::PickGltfSideNames(folder(), "out.gltf", 0, {bin}),
              (app::GltfSideNames{"out~1.bin", {}}));
}

}  // namespace
