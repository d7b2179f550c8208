// Reading only regular files, with a cap that holds whatever size a file claims.

#include "gfx/base/file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace gfx {
namespace {

namespace fs = std::filesystem;
using Kind = FileReadFailure::Kind;

class FileReadTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("file_read_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        std::ofstream(folder_ / "ten", std::ios::binary) << "0123456789";
        std::ofstream(folder_ / "empty", std::ios::binary);
        ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Path(const char* name) const { return (folder_ / name).string(); }

    fs::path folder_;
};

TEST_F(FileReadTest, ReadsRegularFilesWithinTheCap) {
    struct Case {
        const char* name;
        std::size_t cap;
        BeyondCap beyond;
        const char* bytes;
    };
    const Case cases[] = {
        {"ten", 10, BeyondCap::kRefuse, "0123456789"},
        {"ten", 100, BeyondCap::kRefuse, "0123456789"},
        {"ten", 4, BeyondCap::kTruncate, "0123"},
        {"ten", 0, BeyondCap::kTruncate, ""},
        {"empty", 0, BeyondCap::kRefuse, ""},
    };
    for (const Case& c : cases) {
        std::string bytes = "left over";
        EXPECT_FALSE(ReadRegularFile(Path(c.name), c.cap, c.beyond, bytes)) << c.name << c.cap;
        EXPECT_EQ(bytes, c.bytes) << c.name << " cap " << c.cap;
    }
    std::vector<std::byte> asBytes;
    EXPECT_FALSE(ReadRegularFile(Path("ten"), 10, BeyondCap::kRefuse, asBytes));
    EXPECT_EQ(asBytes.size(), 10u);
}

TEST_F(FileReadTest, RefusesWhatIsNotARegularFileWithoutWaiting) {
    // The FIFO has no writer: opening it for reading the ordinary way would wait for ever.
    struct Case {
        std::string path;
        Kind kind;
        std::string reason;
    };
    const Case cases[] = {
        {Path("fifo"), Kind::kNotRegular, "not a regular file"},
        {"/dev/zero", Kind::kNotRegular, "not a regular file"},
        {folder_.string(), Kind::kNotRegular, "not a regular file"},
        {Path("missing"), Kind::kMissing, "No such file or directory"},
        {Path("ten"), Kind::kTooLarge, "larger than 9 bytes"},
    };
    for (const Case& c : cases) {
        std::vector<char> bytes;
        const auto failure = ReadRegularFile(c.path, 9, BeyondCap::kRefuse, bytes);
        ASSERT_TRUE(failure) << c.path;
        EXPECT_EQ(failure->kind, c.kind) << c.path;
        EXPECT_EQ(failure->reason, c.reason) << c.path;
    }
}

TEST(FileReadCapTest, HoldsForFilesThatClaimNoSize) {
    // A file under /proc claims size 0 yet has content: the cap, not the claim, stops the read.
    std::string bytes;
    const auto refused = ReadRegularFile("/proc/self/maps", 8, BeyondCap::kRefuse, bytes);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->kind, Kind::kTooLarge);
    EXPECT_FALSE(ReadRegularFile("/proc/self/maps", 8, BeyondCap::kTruncate, bytes));
    EXPECT_EQ(bytes.size(), 8u);
}

}  // namespace
}  // namespace gfx
