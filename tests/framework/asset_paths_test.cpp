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

TEST(AssetPathsTest, PathsThatDoNotExistAreLookedUpBesideTheDocumentByFileName) {
    const fs::path dir = fs::temp_directory_path() / ("asset_paths_" + std::to_string(getpid()));
    fs::create_directories(dir / "other");
    std::ofstream(dir / "body.x") << "x";
    std::ofstream(dir / "other" / "body.x") << "x";
    const std::string folder = dir.string() + "/";

    // Another machine's path, and a relative one, resolve beside the document.
    EXPECT_EQ(LookUpBeside("C:\\parts\\body.x", folder), folder + "body.x");
    EXPECT_EQ(LookUpBeside("meshes/body.x", dir.string()), folder + "body.x");
    // An existing path is used as written, even when the document's folder has the name too.
    const std::string existing = (dir / "other" / "body.x").string();
    EXPECT_EQ(LookUpBeside(existing, folder), existing);
    // Found nowhere: unchanged, so the failure names what was stored.
    EXPECT_EQ(LookUpBeside("C:\\parts\\arm.x", folder), "C:\\parts\\arm.x");
    // A folder is not a mesh file.
    EXPECT_EQ(LookUpBeside("D:\\other", folder), "D:\\other");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace framework
