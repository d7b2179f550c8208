#include "framework/debug_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/command_line.h"
#include "framework/system_report.h"

namespace framework {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DebugLogTest : public testing::Test {
  protected:
    void SetUp() override {
        logPath_ = std::filesystem::path(ModuleDirectory()) / "debug.txt";
        std::filesystem::remove(logPath_);
        ProcessLog().SetPath("");
    }
    void TearDown() override {
        std::filesystem::remove(logPath_);
        ProcessLog().SetPath("");
        const char* none[] = {"test"};
        SetCommandLine(1, none);
    }
    std::filesystem::path logPath_;
};

TEST_F(DebugLogTest, WithoutSwitchEntriesGoToStandardErrorAndNoFileIsMade) {
    const char* args[] = {"posewrighter"};
    SetCommandLine(1, args);
    testing::internal::CaptureStderr();
    InitDebugStream();
    LogMessage("load(%s) ... ", "a.x");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind(std::string(kLogSeparator) + "InitDebugStream\n", 0), 0u) << err;
    EXPECT_NE(err.find("load(a.x) ... "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(logPath_));
}

TEST_F(DebugLogTest, TwoRunsWithSwitchAppendBothToTheFileBesideTheExecutable) {
    const char* args[] = {"posewrighter", "-dbf"};
    SetCommandLine(2, args);
    InitDebugStream();
    LogMessage("first run\n");
    ProcessLog().SetPath("");
    InitDebugStream();
    const std::string text = ReadAll(logPath_);
    const std::string start = std::string(kLogSeparator) + "InitDebugStream\n";
    const auto first = text.find(start);
    ASSERT_EQ(first, 0u);
    const auto second = text.find(start, first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(text.find("first run\n"), second);
    // Each run writes its three report lines after the start line.
    EXPECT_NE(text.find("OS = ID 0 ver,", second), std::string::npos);
}

TEST_F(DebugLogTest, SwitchMatchesOnlyTheExactArgument) {
    for (const char* other : {"-DBF", "/dbf", "--dbf", "-dbf ", "dbf"}) {
        const char* args[] = {"posewrighter", other};
        SetCommandLine(2, args);
        EXPECT_FALSE(IsSwitchPresent("-dbf")) << other;
    }
    const char* program_only[] = {"-dbf"};
    SetCommandLine(1, program_only);
    EXPECT_FALSE(IsSwitchPresent("-dbf")) << "argument 0 is the program, not a switch";
    const char* later[] = {"posewrighter", "model.pwp", "-dbf"};
    SetCommandLine(3, later);
    EXPECT_TRUE(IsSwitchPresent("-dbf"));
}

TEST_F(DebugLogTest, EntriesAreWrittenUnchangedWhateverTheirLength) {
    ProcessLog().SetPath(logPath_.string());
    LogMessage("load(%s) ... ", "100%s_done.x");
    const std::string longName(1000, 'n');
    LogMessage("release(%s)\n", longName.c_str());
    EXPECT_EQ(ReadAll(logPath_), "load(100%s_done.x) ... release(" + longName + ")\n");
}

TEST(SystemReportTest, FormatsDateKernelAndMemory) {
    SystemFacts facts;
    facts.year = 2006;
    facts.month = 3;
    facts.day = 5;
    facts.hour = 9;
    facts.minute = 7;
    facts.kernelMajor = 6;
    facts.kernelMinor = 1;
    facts.kernelPatch = 112;
    facts.availableBytes = 300ull << 20;
    facts.totalBytes = (512ull << 20) + 12345;  // partial megabytes round down
    const auto lines = FormatSystemReport(facts);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "2006/03/05  09:07\n");
    EXPECT_EQ(lines[1], "OS = ID 0 ver,6.1 build 112\n");
    EXPECT_EQ(lines[2], "利用可能／搭載メモリ = 300/512 MB\n");
}

TEST(SystemReportTest, CollectsPlausibleFactsFromThisMachine) {
    const SystemFacts facts = CollectSystemFacts();
    EXPECT_GE(facts.year, 2000);
    EXPECT_GE(facts.kernelMajor, 2);
    EXPECT_GT(facts.totalBytes, facts.availableBytes);
}

TEST(CommandLineTest, ModuleDirectoryEndsWithSlashAndHoldsTheExecutable) {
    const std::string dir = ModuleDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(dir + "test_framework"));
}

}  // namespace
}  // namespace framework
