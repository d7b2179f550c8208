// Putting files in place all or nothing: a rename that fails part way leaves every name as it
// was.

#include "app/export/file_replacement.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Every file under the folder, by path relative to it, with its contents.
std::map<std::string, std::string> Contents(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), dir).string()] = ReadBytes(entry.path());
        }
    }
    return files;
}

class FileReplacementTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("file_replacement_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "new");
        fs::create_directories(dir_ / "aside");
        // Three new files; two of their names hold older files, the third is free.
        for (const char* name : {"a.png", "b.bin", "c.gltf"}) {
            std::ofstream(dir_ / "new" / name) << "new " << name;
        }
        std::ofstream(dir_ / "a.png") << "old a.png";
        std::ofstream(dir_ / "c.gltf") << "old c.gltf";
        before_ = Contents(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::vector<app::FileMove> Moves() const {
        std::vector<app::FileMove> moves;
        for (const char* name : {"a.png", "b.bin", "c.gltf"}) {
            moves.push_back({(dir_ / "new" / name).string(), (dir_ / name).string()});
        }
        return moves;
    }
    std::string Aside() const { return (dir_ / "aside").string(); }

    fs::path dir_;
    std::map<std::string, std::string> before_;
};

TEST_F(FileReplacementTest, AllInPlaceWithTheOldFilesAside) {
    ASSERT_TRUE(app::ReplaceFilesTogether(Moves(), Aside()).ok());
    EXPECT_EQ(Contents(dir_), (std::map<std::string, std::string>{
                                  {"a.png", "new a.png"},
                                  {"b.bin", "new b.bin"},
                                  {"c.gltf", "new c.gltf"},
                                  {"aside/0", "old a.png"},
                                  {"aside/2", "old c.gltf"},
                              }));
}

TEST_F(FileReplacementTest, AFailureAtAnyStepPutsEverythingBack) {
    // The renames in order: a.png aside, a.png in, b.bin in, c.gltf aside, c.gltf in.
    const std::string d = dir_.string();
    const std::string failures[] = {
        "cannot replace \"" + d + "/a.png\": Permission denied",
        "cannot write \"" + d + "/a.png\": Permission denied",
        "cannot write \"" + d + "/b.bin\": Permission denied",
        "cannot replace \"" + d + "/c.gltf\": Permission denied",
        "cannot write \"" + d + "/c.gltf\": Permission denied",
    };
    for (int failing = 0; failing < 5; ++failing) {
        SCOPED_TRACE(failing);
        int call = 0;
        const auto rename = [&](const std::string& from, const std::string& to) {
            if (call++ == failing) return std::make_error_code(std::errc::permission_denied);
            return app::RenameOnDisk(from, to);
        };
        const gfx::Status replaced = app::ReplaceFilesTogether(Moves(), Aside(), rename);
        ASSERT_FALSE(replaced.ok());
        EXPECT_EQ(replaced.error(), failures[failing]);
        EXPECT_EQ(Contents(dir_), before_);
        EXPECT_TRUE(fs::is_empty(dir_ / "aside"));
    }
}

TEST_F(FileReplacementTest, AnUndoThatFailsSaysWhereTheOldFileIs) {
    // c.gltf's rename fails, and so does putting a.png's old file back.
    int call = 0;
    const std::string d = dir_.string();
    const auto rename = [&](const std::string& from, const std::string& to) {
        ++call;
        if (call == 5 || from == d + "/aside/0") {
            return std::make_error_code(std::errc::io_error);
        }
        return app::RenameOnDisk(from, to);
    };
    const gfx::Status replaced = app::ReplaceFilesTogether(Moves(), Aside(), rename);
    ASSERT_FALSE(replaced.ok());
    EXPECT_EQ(replaced.error(), "cannot write \"" + d + "/c.gltf\": Input/output error; \"" + d +
                                    "/a.png\" could not be put back (Input/output error) and is "
                                    "now \"" +
                                    d + "/aside/0\"");
    EXPECT_EQ(ReadBytes(dir_ / "aside" / "0"), "old a.png");
    EXPECT_EQ(ReadBytes(dir_ / "c.gltf"), "old c.gltf");
    EXPECT_FALSE(fs::exists(dir_ / "b.bin"));
}

TEST_F(FileReplacementTest, AFolderUnderATargetNameIsNotMovedAsideAndFailsTheRename) {
    fs::remove(dir_ / "c.gltf");
    fs::create_directories(dir_ / "c.gltf" / "kept");
    const auto before = Contents(dir_);
    const gfx::Status replaced = app::ReplaceFilesTogether(Moves(), Aside());
    ASSERT_FALSE(replaced.ok());
    EXPECT_EQ(replaced.error(), "cannot write \"" + dir_.string() + "/c.gltf\": Is a directory");
    EXPECT_EQ(Contents(dir_), before);
    EXPECT_TRUE(fs::is_directory(dir_ / "c.gltf" / "kept"));
}

}  // namespace
