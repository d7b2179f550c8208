#include "files/settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>

#include "files/settings/profile_text.h"
#include "framework/command_line.h"
#include "framework/debug_log.h"
#include "tests/files/files_test_util.h"

namespace files {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

std::string Set(std::string_view text, std::string_view section, std::string_view key,
                std::string_view value) {
    auto edited = SetProfileValue(text, section, key, value);
    EXPECT_TRUE(edited.ok()) << edited.error();
    return edited.ok() ? *edited : std::string();
}

TEST(ProfileTextTest, FindsKeysOfTheSectionWhateverTheirCaseTrimmedAndUnquoted) {
    const std::string text =
        "k=outside any section\r\n"
        "[ Light_Dialog ]\r\n"
        "  POWER  =  0.5 \t\r\n"
        "; k=commented out\r\n"
        "name = \"quoted value\"\n"
        "色=0.100\r\n"
        "k\r\n";
    EXPECT_EQ(FindProfileValue(text, "LIGHT_DIALOG", "power"), "0.5");
    EXPECT_EQ(FindProfileValue(text, "light_dialog", "NAME"), "quoted value");
    EXPECT_EQ(FindProfileValue(text, "LIGHT_DIALOG", "色"), "0.100");
    EXPECT_EQ(FindProfileValue(text, "LIGHT_DIALOG", "k"), std::nullopt)
        << "comments, lines without '=' and keys before any section are not keys";
    EXPECT_EQ(FindProfileValue(text, "MAIN_WINDOW", "POWER"), std::nullopt);
    EXPECT_EQ(FindProfileValue("", "A", "B"), std::nullopt);
}

TEST(ProfileTextTest, ReplacingAValueKeepsEveryOtherByte) {
    const std::string text =
        "; settings\r\n"
        "[main_window]\r\n"
        "left = 5\r\n"
        "Top= 7\n"
        "\r\n"
        "[LIGHT_DIALOG]\r\n"
        "POWER=0.5\r\n"
        "a line of unknown form\r\n";
    const std::string replaced = Set(text, "MAIN_WINDOW", "LEFT", " 120");
    EXPECT_EQ(replaced,
              "; settings\r\n[main_window]\r\nleft = 120\r\nTop= 7\n\r\n"
              "[LIGHT_DIALOG]\r\nPOWER=0.5\r\na line of unknown form\r\n");
    EXPECT_EQ(FindProfileValue(replaced, "MAIN_WINDOW", "LEFT"), "120");
}

TEST(ProfileTextTest, NewKeysEndTheirSectionAndNewSectionsEndTheText) {
    const std::string text = "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n";
    EXPECT_EQ(Set(text, "a", "z", "3"), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
    EXPECT_EQ(Set("[A]\r\n[B]\r\n", "A", "z", "3"), "[A]\r\nz=3\r\n[B]\r\n");
    EXPECT_EQ(Set(text, "C", "k", "v"), text + "[C]\r\nk=v\r\n");
    EXPECT_EQ(Set("", "MAIN_WINDOW", "LEFT", " 0"), "[MAIN_WINDOW]\r\nLEFT= 0\r\n");
    // An unended last line is ended before anything follows it.
    EXPECT_EQ(Set("[A]\r\nx=1", "A", "x", "5"), "[A]\r\nx=5\r\n");
    EXPECT_EQ(Set("[A]\r\nx=1", "A", "y", "2"), "[A]\r\nx=1\r\ny=2\r\n");
    EXPECT_EQ(Set("[A]\r\nx=1", "B", "y", "2"), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    // A carriage return alone does not end the last line.
    EXPECT_EQ(Set("[A]\r\nx=1\r", "A", "y", "2"), "[A]\r\nx=1\r\ny=2\r\n");
    EXPECT_EQ(Set("[A]\r\nx=1\r", "A", "x", "2"), "[A]\r\nx=2\r\n");
    // Names with blanks around them are the trimmed names, for writing as for reading.
    const std::string blanks = Set("", " A ", " k\f", "1");
    EXPECT_EQ(FindProfileValue(blanks, " A ", " k\f"), "1");
    EXPECT_EQ(Set(blanks, "a", "K", "2"), "[ A ]\r\n k\f=2\r\n");
}

TEST(ProfileTextTest, NamesAndValuesTheFormatCannotHoldAreRefused) {
    EXPECT_FALSE(SetProfileValue("", "", "k", "v").ok());
    EXPECT_FALSE(SetProfileValue("", "A]B", "k", "v").ok());
    EXPECT_FALSE(SetProfileValue("", "A", "k=1", "v").ok());
    EXPECT_FALSE(SetProfileValue("", "A", "k", "two\r\nlines").ok());
}

TEST(SettingConversionTest, IntegersReadAsTheCLibraryReadsThem) {
    EXPECT_EQ(SettingInteger("abc"), 0);
    EXPECT_EQ(SettingInteger(" 120"), 120);
    EXPECT_EQ(SettingInteger("-35"), -35);
    EXPECT_EQ(SettingInteger("\t+7px"), 7);
    EXPECT_EQ(SettingInteger("- 5"), 0);
    EXPECT_EQ(SettingInteger("-2147483648"), INT_MIN);
    EXPECT_EQ(SettingInteger("99999999999999999999"), INT_MAX);
    EXPECT_EQ(SettingInteger("-99999999999999999999"), INT_MIN);
}

TEST(SettingConversionTest, DecimalsReadAsTheCLibraryReadsThem) {
    EXPECT_DOUBLE_EQ(SettingDecimal("0.5"), 0.5);
    EXPECT_DOUBLE_EQ(SettingDecimal(" -1"), -1.0);
    EXPECT_DOUBLE_EQ(SettingDecimal("1e2"), 100.0);
    EXPECT_DOUBLE_EQ(SettingDecimal(".25x"), 0.25);
    EXPECT_DOUBLE_EQ(SettingDecimal("abc"), 0.0);
    EXPECT_DOUBLE_EQ(SettingDecimal("+-1"), 0.0);
}

TEST(SettingsFileTest, MissingFileGivesDefaultsAndTheFirstWriteCreatesIt) {
    ScratchFolder folder;
    const SettingsFile settings(folder / "Posewrighter.ini");
    EXPECT_EQ(settings.Read("LIGHT_DIALOG", "LIGHT_Y", "-0.5"), "-0.5");
    EXPECT_EQ(settings.ReadInteger("MAIN_WINDOW", "LEFT", "0"), 0);
    EXPECT_DOUBLE_EQ(settings.ReadDecimal("LIGHT_DIALOG", "POWER", "0.5"), 0.5);

    ASSERT_TRUE(settings.Write("MAIN_WINDOW", "LEFT", " 120").ok());
    ASSERT_TRUE(settings.Write("main_window", "top", " -35").ok());
    EXPECT_EQ(ReadBytes(settings.path()), "[MAIN_WINDOW]\r\nLEFT= 120\r\ntop= -35\r\n");
    EXPECT_EQ(settings.ReadInteger("MAIN_WINDOW", "LEFT", "0"), 120);
    EXPECT_EQ(settings.ReadInteger("Main_Window", "TOP", "0"), -35);
    // Only the settings file remains: the temporary file was renamed over it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(SettingsFileTest, WriteKeepsTheRestOfAnExistingFileAndHandEditsReadAsNumbers) {
    ScratchFolder folder;
    const SettingsFile settings(folder / "Posewrighter.ini");
    const std::string before =
        "[MAIN_DIALOG]\r\nLEFT=abc\r\nTOP= 300\r\n; mine\r\n[MATERIAL]\r\nkey=NOP\r\n";
    WriteBytes(settings.path(), before);
    EXPECT_EQ(settings.ReadInteger("MAIN_DIALOG", "LEFT", "0"), 0);
    EXPECT_EQ(settings.ReadInteger("MAIN_DIALOG", "TOP", "0"), 300);

    ASSERT_TRUE(settings.Write("MAIN_DIALOG", "LEFT", " 8").ok());
    EXPECT_EQ(ReadBytes(settings.path()),
              "[MAIN_DIALOG]\r\nLEFT= 8\r\nTOP= 300\r\n; mine\r\n[MATERIAL]\r\nkey=NOP\r\n");
}

TEST(SettingsFileTest, AnUnusablePathReadsDefaultsAndFailsToWriteWithoutHarm) {
    ScratchFolder folder;
    const SettingsFile inMissingFolder(folder / "missing" / "Posewrighter.ini");
    EXPECT_FALSE(inMissingFolder.Write("A", "k", "v").ok());

    std::filesystem::create_directory(folder / "dir.ini");
    const SettingsFile aFolder(folder / "dir.ini");
    EXPECT_EQ(aFolder.Read("A", "k", "fallback"), "fallback");
    EXPECT_FALSE(aFolder.Write("A", "k", "v").ok());
    EXPECT_TRUE(std::filesystem::is_directory(folder / "dir.ini"));

    // A FIFO without a writer would hold the editor before its first window for ever.
    ASSERT_EQ(::mkfifo((folder / "fifo.ini").c_str(), 0600), 0);
    const SettingsFile aFifo(folder / "fifo.ini");
    EXPECT_EQ(aFifo.Read("A", "k", "fallback"), "fallback");
    EXPECT_FALSE(aFifo.Write("A", "k", "v").ok());
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "fifo.ini"));
}

TEST(SettingsFileTest, ProgramSettingsStayBesideTheExecutableFromAnyCurrentFolder) {
    ScratchFolder elsewhere;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.path());
    const std::filesystem::path expected = framework::ModuleDirectory() + "Posewrighter.ini";
    std::filesystem::remove(expected);

    WriteSetting("ANIM_DIALOG", "LEFT", " 42");
    const bool besideExecutable = std::filesystem::exists(expected);
    const int left = SettingInteger(ReadSetting("anim_dialog", "left", "0"));
    std::filesystem::current_path(previous);
    std::filesystem::remove(expected);

    EXPECT_EQ(ProgramSettings().path(), expected);
    EXPECT_TRUE(besideExecutable);
    EXPECT_EQ(left, 42);
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "Posewrighter.ini"));
}

}  // namespace
}  // namespace files

namespace files {
namespace {

TEST(SettingsFileLogTest, AFailedWriteIsLoggedWithItsReasonAndASuccessfulOneIsNot) {
    ScratchFolder folder;
    framework::ProcessLog().SetPath((folder / "debug.txt").string());
    const SettingsFile inMissingFolder(folder / "missing" / "Posewrighter.ini");
    LogFailedSettingsWrite(inMissingFolder.Write("LIGHT_DIALOG", "POWER", "0.5"), "LIGHT_DIALOG");
    LogFailedSettingsWrite(SettingsFile(folder / "ok.ini").Write("A", "k", "v"), "A");
    framework::ProcessLog().SetPath("");
    const std::string log = ReadBytes(folder / "debug.txt");
    EXPECT_TRUE(log.starts_with("Settings not written (LIGHT_DIALOG): ")) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
}

}  // namespace
}  // namespace files
