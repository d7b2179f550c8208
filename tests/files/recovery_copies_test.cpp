// Several editors' recovery copies in one folder: each held by its editor's lock, and found as
// left over only once that editor is gone.

#include "files/recovery/recovery_copies.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/part_file.h"
#include "files/recovery/recovery_copy.h"
#include "framework/debug_log.h"
#include "tests/files/files_test_util.h"

namespace {

namespace fs = std::filesystem;
using files::testing::ScratchFolder;
using files::testing::WriteBytes;

struct QuietLog {
    QuietLog() { framework::ProcessLog().Discard(); }
    ~QuietLog() { framework::ProcessLog().SetPath(""); }
};

files::RecoveryCopy CopyOfScale(float scale) {
    auto table = files::testing::TwoPartTable();
    table->scale = scale;
    files::RecoveryCopy copy;
    copy.modelUnsaved = true;
    copy.model = *files::FormatPartFile(*table);
    return copy;
}

// Writes a copy into `folder` and dates its manifest `minutesAgo` before now.
void WriteCopyAged(const fs::path& folder, const files::RecoveryCopy& copy, int minutesAgo) {
    ASSERT_TRUE(files::WriteRecoveryCopy(folder.string(), copy, 1));
    fs::last_write_time(folder / "manifest.txt",
                        fs::file_time_type::clock::now() - std::chrono::minutes(minutesAgo));
}

std::vector<std::string> FolderNames(const std::vector<files::LeftRecoveryCopy>& left) {
    std::vector<std::string> names;
    for (const auto& copy : left) names.push_back(fs::path(copy.folder).parent_path().filename());
    return names;
}

TEST(RecoveryLock, AHeldLockIsRefusedUntilItsHolderLetsGo) {
    const ScratchFolder scratch;
    const std::string path = (scratch / "editor-1.lock").string();
    std::optional<files::RecoveryLock> holder;
    {
        auto made = files::RecoveryLock::Create(path);
        ASSERT_TRUE(made.ok()) << made.error();
        holder = std::move(*made);
    }
    EXPECT_TRUE(holder->held());
    EXPECT_FALSE(files::RecoveryLock::TryTake(path).ok());
    EXPECT_FALSE(files::RecoveryLock::Create(path).ok()) << "made over an existing lock file";
    EXPECT_FALSE(fs::exists(path + ".new"));

    holder.reset();  // as when its process ends
    auto taken = files::RecoveryLock::TryTake(path);
    ASSERT_TRUE(taken.ok()) << taken.error();
    EXPECT_FALSE(files::RecoveryLock::TryTake(path).ok());
    taken->RemoveAndRelease();
    EXPECT_FALSE(taken->held());
    EXPECT_FALSE(fs::exists(path));
}

TEST(RecoveryCopies, ClaimedCopiesAreDistinctAndNeverLeftWhileHeld) {
    const ScratchFolder scratch;
    const std::string root = (scratch / "recovery").string();
    auto first = files::ClaimRecoveryCopy(root, "1-100");
    auto second = files::ClaimRecoveryCopy(root, "2-100");
    ASSERT_TRUE(first.ok()) << first.error();
    ASSERT_TRUE(second.ok()) << second.error();
    EXPECT_EQ(first->folder, root + "/editor-1-100/");
    EXPECT_NE(first->folder, second->folder);
    EXPECT_FALSE(files::ClaimRecoveryCopy(root, "1-100").ok()) << "one id claimed twice";
    WriteCopyAged(first->folder, CopyOfScale(2.0f), 0);
    WriteCopyAged(second->folder, CopyOfScale(3.0f), 0);
    EXPECT_TRUE(files::FindLeftRecoveryCopies(root).empty());
    EXPECT_TRUE(fs::exists(root + "/editor-1-100.lock"));
}

TEST(RecoveryCopies, LeftCopiesAreTheGoneEditorsNewestFirstAndLockedWhileOffered) {
    const QuietLog quiet;
    const ScratchFolder scratch;
    const fs::path root = scratch / "recovery";
    auto running = files::ClaimRecoveryCopy(root.string(), "1-1");
    ASSERT_TRUE(running.ok());
    WriteCopyAged(running->folder, CopyOfScale(1.0f), 0);
    {
        // Claimed and written, then its editor ended without removing the lock file.
        auto ended = files::ClaimRecoveryCopy(root.string(), "2-2");
        ASSERT_TRUE(ended.ok());
        WriteCopyAged(ended->folder, CopyOfScale(2.0f), 30);
    }
    WriteCopyAged(root / "editor-3-3", CopyOfScale(3.0f), 5);  // its lock file already gone
    {
        auto stale = files::ClaimRecoveryCopy(root.string(), "4-4");  // ended with no copy
        ASSERT_TRUE(stale.ok());
    }
    // Names that are no copy of a gone editor.
    for (const char* name : {"recovery-20260101-000000.damaged", "editor-5-5.removing"}) {
        WriteCopyAged(root / name, CopyOfScale(4.0f), 1);
    }
    WriteBytes(root / "editor-6-6.lock.new", "");

    std::vector<files::LeftRecoveryCopy> left = files::FindLeftRecoveryCopies(root.string());
    EXPECT_EQ(FolderNames(left), (std::vector<std::string>{"editor-3-3", "editor-2-2"}));
    EXPECT_FALSE(fs::exists(root / "editor-4-4.lock")) << "a stale lock file stayed";
    EXPECT_TRUE(fs::exists(root / "editor-1-1.lock"));
    // While one start holds them, another does not find them.
    EXPECT_TRUE(files::FindLeftRecoveryCopies(root.string()).empty());

    files::ForgetLeftRecoveryCopy(left[0]);
    EXPECT_FALSE(fs::exists(root / "editor-3-3.lock"));
    left.clear();
    EXPECT_EQ(FolderNames(files::FindLeftRecoveryCopies(root.string())),
              (std::vector<std::string>{"editor-3-3", "editor-2-2"}));
}

// The older program kept one copy directly in the recovery folder.
TEST(RecoveryCopies, ACopyOfTheOlderLayoutIsMovedIntoAFolderOfItsOwnAndFound) {
    const QuietLog quiet;
    const ScratchFolder scratch;
    const fs::path root = scratch / "recovery";
    const files::RecoveryCopy flat = CopyOfScale(5.0f);
    ASSERT_TRUE(files::WriteRecoveryCopy(root.string(), flat, 9));
    // A move cut short earlier: one file already in the gathering folder.
    fs::create_directories(root / "earlier.moving");
    fs::rename(root / "model-9.pwp", root / "earlier.moving" / "model-9.pwp");

    const std::vector<files::LeftRecoveryCopy> left = files::FindLeftRecoveryCopies(root.string());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(
        fs::path(left[0].folder).parent_path().filename().string().starts_with("editor-earlier-"));
    const files::RecoveryRead read = files::ReadRecoveryCopy(left[0].folder);
    ASSERT_EQ(read.state, files::RecoveryState::kFound) << read.problem;
    EXPECT_EQ(read.copy, flat);
    EXPECT_FALSE(fs::exists(root / "manifest.txt"));
    EXPECT_FALSE(fs::exists(root / "earlier.moving"));
}

}  // namespace
