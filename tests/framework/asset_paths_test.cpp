#include "framework/asset_paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace framework {
namespace {

namespace fs = std::filesystem;

TEST(AssetPathsTest, FileNameAndFolderParts) {
    EXPECT_EQ(FileNamePart("C:\\parts\\body.x"), "body.x");
    EXPECT_EQ(FileNamePart("/home/u/arm.x"), "arm.x");
    EXPECT_EQ(FileNamePart("leg.x"), "leg.x");
    EXPECT_EQ(FolderOf("/home/u/model.pwp"), "/home/u/");
    EXPECT_EQ(FolderOf("model.pwp"), "");
}

class LookUpTest : public testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir_ / "other");
        fs::create_directories(dir_ / "Textures");
        fs::create_directories(dir_ / "sub");
        for (const char* file : {"body.x", "other/body.x", "Textures/Rock.bmp", "test.png",
                                 "castlest.jpg", "x.bmp", "Dup.png", "DUP.png"}) {
            std::ofstream(dir_ / file) << "x";
        }
    }
    void TearDown() override { fs::remove_all(dir_); }

    const fs::path dir_ = fs::temp_directory_path() / ("asset_paths_" + std::to_string(getpid()));
    const std::string folder_ = dir_.string() + "/";
};

TEST_F(LookUpTest, WindowsPathsResolveAsAWindowsProgramWouldFindThem) {
    const std::string existing = (dir_ / "other" / "body.x").string();
    struct Case {
        std::string stored, found;  // found "" = stored unchanged
    };
    const Case cases[] = {
        // Another machine's path, and a relative one, by file name beside the document.
        {"C:\\parts\\body.x", "body.x"},
        {"meshes/body.x", "body.x"},
        // Backslashes separate; runs of separators count as one.
        {"Textures\\Rock.bmp", "Textures/Rock.bmp"},
        {"Textures\\\\Rock.bmp", "Textures/Rock.bmp"},
        {".\\test.png", "./test.png"},
        {"C:\\art\\x.bmp", "x.bmp"},
        {"C:x.bmp", "x.bmp"},
        // Letter case is ignored per component when nothing matches exactly.
        {"CASTLEST.JPG", "castlest.jpg"},
        {"textures\\ROCK.BMP", "Textures/Rock.bmp"},
        {"D:\\Art\\TEST.PNG", "test.png"},
        {"Dup.png", "Dup.png"},  // an exact match wins
        {"dup.png", "DUP.png"},  // of two inexact ones, the first in byte order
        // An existing path is used as written, even when the folder has the name too.
        {existing, existing},
        // Found nowhere, or only as a folder: unchanged, so the failure names what was stored.
        {"C:\\parts\\arm.x", ""},
        {"Textures\\Missing.bmp", ""},
        {"D:\\other", ""},
        {"SUB", ""},
    };
    for (const Case& c : cases) {
        const std::string expected =
            c.found.empty() ? c.stored : (c.found.starts_with('/') ? "" : folder_) + c.found;
        EXPECT_EQ(LookUpBeside(c.stored, folder_), expected) << c.stored;
    }
    // The document's folder may come without its final separator.
    EXPECT_EQ(LookUpBeside("Textures\\Rock.bmp", dir_.string()), folder_ + "Textures/Rock.bmp");
}

TEST_F(LookUpTest, DoubledBackslashesAfterADriveLetterFindTheFileBeside) {
    // As some exporters write a texture name: the separators doubled in the file.
    EXPECT_EQ(LookUpBeside("C:\\\\dir\\\\sub\\\\x.bmp", folder_), folder_ + "x.bmp");
    EXPECT_EQ(LookUpBeside("c:\\\\Art\\\\TEST.PNG", folder_), folder_ + "test.png");
    // A mesh opened by a bare relative name has no folder: its textures lie in the current one.
    const fs::path previous = fs::current_path();
    fs::current_path(dir_);
    const std::string found = LookUpBeside("C:\\\\dir\\\\sub\\\\x.bmp", "");
    fs::current_path(previous);
    EXPECT_EQ(found, "x.bmp");
}

TEST_F(LookUpTest, NamesStoredInOneEncodingFindFilesNamedInTheOther) {
    // Shift-JIS bytes: 頭パーツ, 表 (whose second byte is 0x5C, a backslash), 腕, 脚.
    const std::string head = "\x93\xaa\x83\x70\x81\x5b\x83\x63";
    const std::string table = "\x95\x5c", arm = "\x98\x72", leg = "\x8b\x72";
    fs::create_directories(dir_ / "表");
    for (const std::string& file :
         {std::string("頭パーツ.x"), std::string("表/腕.x"), table + ".x", leg + ".x"}) {
        std::ofstream(dir_ / file) << "x";
    }
    struct Case {
        std::string stored, found;
    };
    const Case cases[] = {
        {head + ".x", "頭パーツ.x"},
        {"C:\\models\\" + head + ".X", "頭パーツ.x"},
        {table + "\\" + arm + ".x", "表/腕.x"},
        {table + ".x", table + ".x"},
        {"脚.x", leg + ".x"},
        {"C:\\art\\脚.x", leg + ".x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LookUpBeside(c.stored, folder_), folder_ + c.found) << c.stored;
    }
    // Bytes neither encoding takes are looked up as they are, and come back unchanged.
    EXPECT_EQ(LookUpBeside("\x81\x7f\xff.x", folder_), "\x81\x7f\xff.x");
}

}  // namespace
}  // namespace framework
