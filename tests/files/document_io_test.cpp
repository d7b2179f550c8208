#include "files/document_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "files/part_file.h"
#include "files_test_util.h"

namespace files {
namespace {

using namespace files::testing;
namespace fs = std::filesystem;

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

std::size_t EntriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(DocumentIoTest, ReplacingKeepsPermissionsAndLeavesNoTemporaryFile) {
    ScratchFolder folder;
    const fs::path path = folder / "model.pwp";
    WriteBytes(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(ReplaceFile(path.string(), "new bytes").ok());
    EXPECT_EQ(ReadBytes(path), "new bytes");
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(EntriesIn(folder.path()), 1u);
}

TEST(DocumentIoTest, SymbolicLinkKeepsPointingAtTheReplacedFile) {
    ScratchFolder folder;
    WriteBytes(folder / "real.pwp", "old");
    fs::create_symlink(folder / "real.pwp", folder / "link.pwp");
    ASSERT_TRUE(ReplaceFile((folder / "link.pwp").string(), "new").ok());
    EXPECT_TRUE(fs::is_symlink(folder / "link.pwp"));
    EXPECT_EQ(ReadBytes(folder / "real.pwp"), "new");
}

TEST(DocumentIoTest, WriteFailingPartWayLeavesTheOldFileIntact) {
    ScratchFolder folder;
    const fs::path path = folder / "model.pwp";
    WriteBytes(path, Fixture("two_parts.pwp"));
    // A file size limit makes the write itself fail, even for a privileged user.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const gfx::Status status = WritePartFile(path.string(), *TwoPartTable());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(status.error(), kWriteFailedText);
    EXPECT_EQ(ReadBytes(path), Fixture("two_parts.pwp"));
    EXPECT_EQ(EntriesIn(folder.path()), 1u);  // the partial new file is removed
}

TEST(DocumentIoTest, ReadOnlyFileOrNoNewFileLeavesTheOldFileIntact) {
    ScratchFolder folder;
    const fs::path path = folder / "model.pwp";
    WriteBytes(path, "old");
    // A read-only file is refused whoever runs the program.
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_EQ(WritePartFile(path.string(), *TwoPartTable()).error(), kWriteFailedText);
    EXPECT_EQ(ReadBytes(path), "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);

    // The new file cannot be made beside the old one: no file descriptor is left to open it.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = static_cast<rlim_t>(::dup(0));  // the lowest free descriptor
    ::close(static_cast<int>(limited.rlim_cur));
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limited), 0);
    const gfx::Status status = WritePartFile(path.string(), *TwoPartTable());
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(status.error(), kWriteFailedText);
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(EntriesIn(folder.path()), 1u);

    if (!RunningAsRoot()) {  // folder permissions bind only an unprivileged user
        fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(WritePartFile(path.string(), *TwoPartTable()).error(), kWriteFailedText);
        EXPECT_EQ(ReadBytes(path), "old");
        fs::permissions(folder.path(), fs::perms::owner_all);
    }
}

TEST(DocumentIoTest, ReadOnlyFileReads) {
    ScratchFolder folder;
    const fs::path path = folder / "model.pwp";
    WriteBytes(path, Fixture("two_parts.pwp"));
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    auto table = std::make_unique<model::PartTable>();
    EXPECT_TRUE(ReadPartFile(path.string(), *table).ok());
    EXPECT_EQ(table->count, 2);
}

TEST(DocumentIoTest, ReadsStopAtTheLimitAndRefuseFolders) {
    ScratchFolder folder;
    WriteBytes(folder / "data", "0123456789");
    EXPECT_EQ(ReadFilePrefix((folder / "data").string(), 4).value(), "0123");
    EXPECT_EQ(ReadFilePrefix((folder / "data").string(), 100).value(), "0123456789");
    EXPECT_FALSE(ReadFilePrefix(folder.path().string(), 100).ok());
    EXPECT_FALSE(ReplaceFile(folder.path().string(), "x").ok());
}

}  // namespace
}  // namespace files
