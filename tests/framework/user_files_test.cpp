#include "framework/user_files.h"

#include <gtest/gtest.h>

namespace framework {
namespace {

TEST(UserFilesTest, TheExecutablesFolderWhenWritableElseTheUsersConfigurationFolder) {
    EXPECT_EQ(ChooseUserFileDirectory("/opt/pw/", true, "/cfg", "/home/u"), "/opt/pw/");
    EXPECT_EQ(ChooseUserFileDirectory("/opt/pw/", false, "/cfg", "/home/u"), "/cfg/Posewrighter/");
    EXPECT_EQ(ChooseUserFileDirectory("/opt/pw/", false, "/cfg/", "/home/u"), "/cfg/Posewrighter/");
    // An unset, empty or relative $XDG_CONFIG_HOME means ~/.config.
    EXPECT_EQ(ChooseUserFileDirectory("/opt/pw/", false, "", "/home/u/"),
              "/home/u/.config/Posewrighter/");
    EXPECT_EQ(ChooseUserFileDirectory("/opt/pw/", false, "cfg", "/home/u"),
              "/home/u/.config/Posewrighter/");
    // An executable whose folder is unknown.
    EXPECT_EQ(ChooseUserFileDirectory("", true, nullptr, "/home/u"),
              "/home/u/.config/Posewrighter/");
}

TEST(UserFilesTest, WithoutAnyConfigurationFolderTheExecutablesFolderIsKept) {
    EXPECT_EQ(ChooseUserFileDirectory("/opt/pw/", false, nullptr, nullptr), "/opt/pw/");
    EXPECT_EQ(ChooseUserFileDirectory("/opt/pw/", false, "relative", ""), "/opt/pw/");
}

}  // namespace
}  // namespace framework
