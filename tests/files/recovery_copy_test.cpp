#include "files/recovery/recovery_copy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "files/animation_file.h"
#include "files/part_file.h"
#include "files/recovery/recovery_writer.h"
#include "framework/debug_log.h"
#include "tests/files/files_test_util.h"

namespace {

namespace fs = std::filesystem;
using files::testing::ReadBytes;
using files::testing::ScratchFolder;
using files::testing::WriteBytes;

struct QuietLog {
    QuietLog() { framework::ProcessLog().Discard(); }
    ~QuietLog() { framework::ProcessLog().SetPath(""); }
};

// The worked example's two documents as the writers give them.
files::RecoveryCopy ExampleCopy() {
    const auto table = files::testing::TwoPartTable();
    const auto animation = files::testing::TwoKeyAnimation();
    files::RecoveryCopy copy;
    copy.modelPath = "/home/me/robot.pwp";
    copy.animationUnsaved = true;
    copy.model = *files::FormatPartFile(*table);
    copy.animation = *files::FormatAnimationFile(*animation, *table);
    return copy;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RecoveryCopy, FolderFollowsTheStateHomeRules) {
    EXPECT_EQ(files::RecoveryFolder("/s", "/h"), "/s/Posewrighter/recovery/");
    EXPECT_EQ(files::RecoveryFolder("relative", "/h/"), "/h/.local/state/Posewrighter/recovery/");
    EXPECT_EQ(files::RecoveryFolder("", nullptr), "");
}

TEST(RecoveryCopy, ManifestNamesThePathsTheUnsavedDocumentsAndEachFile) {
    files::RecoveryCopy copy;
    copy.modelPath = "/a/m.pwp";
    copy.animationPath = "/a/\nx.pwa";  // a line end would break the manifest: written empty
    copy.modelUnsaved = copy.animationUnsaved = true;
    copy.model = "a";  // FNV-1a 64 of "a": af63dc4c8601ec8c
    EXPECT_EQ(files::FormatRecoveryManifest(copy, 7),
              "Posewrighter recovery copy 1\nmodel-path=/a/m.pwp\nanimation-path=\n"
              "unsaved=model animation\nmodel=model-7.pwp 1 af63dc4c8601ec8c\nanimation=none\n");

    // Read back, a path with a byte the writer would not write reads as none.
    const std::string read = std::string("Posewrighter recovery copy 1\nmodel-path=/a/\rm.pwp\n") +
                             "animation-path=/a/" + '\0' + "x.pwa\nunsaved=model\n" +
                             "model=model-7.pwp 1 af63dc4c8601ec8c\nanimation=none\n";
    const auto manifest = files::ParseRecoveryManifest(read);
    ASSERT_TRUE(manifest.ok()) << manifest.error();
    EXPECT_EQ(manifest->copy.modelPath, "");
    EXPECT_EQ(manifest->copy.animationPath, "");
}

TEST(RecoveryCopy, WrittenCopyReadsBackWithTheWritersBytesAndOnlyTheNewestFiles) {
    const QuietLog quiet;
    const ScratchFolder scratch;
    const std::string folder = (scratch / "recovery").string();
    files::RecoveryCopy first = ExampleCopy();
    first.animation.clear();
    ASSERT_TRUE(files::WriteRecoveryCopy(folder, first, 1));
    const files::RecoveryCopy copy = ExampleCopy();
    ASSERT_TRUE(files::WriteRecoveryCopy(folder, copy, 2));
    EXPECT_EQ(Names(folder),
              (std::vector<std::string>{"animation-2.pwa", "manifest.txt", "model-2.pwp"}));

    // On disk, byte for byte what Save writes for the same model.
    const auto table = files::testing::TwoPartTable();
    ASSERT_TRUE(files::WritePartFile((scratch / "saved.pwp").string(), *table));
    EXPECT_EQ(ReadBytes(scratch / "recovery" / "model-2.pwp"), ReadBytes(scratch / "saved.pwp"));

    const files::RecoveryRead read = files::ReadRecoveryCopy(folder);
    EXPECT_EQ(read.state, files::RecoveryState::kFound) << read.problem;
    EXPECT_EQ(read.copy, copy);
}

TEST(RecoveryCopy, AnythingButAWholeCopyIsDamagedWithItsReason) {
    const QuietLog quiet;
    const ScratchFolder scratch;
    const fs::path folder = scratch / "recovery";
    const std::string manifest = (folder / "manifest.txt").string();
    struct Case {
        const char* what;
        std::function<void()> spoil;
        std::string problem;
    };
    const std::string model = ExampleCopy().model;
    const std::string badModel = std::string(model.size(), 'x');
    const Case cases[] = {
        {"cut before its manifest", [&] { fs::remove(manifest); },
         "no manifest: cannot open \"" + manifest + "\": No such file or directory"},
        {"another format",
         [&] {
             WriteBytes(manifest,
                        "Posewrighter recovery copy 2\n" + ReadBytes(manifest).substr(29));
         },
         "manifest: unknown format line \"Posewrighter recovery copy 2\""},
        {"a name leading out of the folder",
         [&] {
             WriteBytes(manifest,
                        "Posewrighter recovery copy 1\nmodel-path=\nanimation-path=\n"
                        "unsaved=model\nmodel=../x-5.pwp 1 0\nanimation=none\n");
         },
         "manifest: bad model line \"../x-5.pwp 1 0\""},
        {"a document cut short", [&] { WriteBytes(folder / "model-5.pwp", model.substr(1)); },
         "model-5.pwp holds " + std::to_string(model.size() - 1) + " bytes, the manifest says " +
             std::to_string(model.size())},
        {"a document changed in place", [&] { WriteBytes(folder / "model-5.pwp", badModel); },
         "model-5.pwp does not match its hash"},
        {"a missing animation", [&] { fs::remove(folder / "animation-5.pwa"); },
         "cannot open \"" + (folder / "animation-5.pwa").string() +
             "\": No such file or directory"},
    };
    for (const Case& c : cases) {
        fs::remove_all(folder);
        ASSERT_TRUE(files::WriteRecoveryCopy(folder.string(), ExampleCopy(), 5));
        c.spoil();
        const files::RecoveryRead read = files::ReadRecoveryCopy(folder.string());
        EXPECT_EQ(read.state, files::RecoveryState::kDamaged) << c.what;
        EXPECT_EQ(read.problem, c.problem) << c.what;
    }

    // Whole and consistent, but not what the readers accept: never offered.
    files::RecoveryCopy unreadable = ExampleCopy();
    unreadable.model = badModel;
    fs::remove_all(folder);
    ASSERT_TRUE(files::WriteRecoveryCopy(folder.string(), unreadable, 6));
    EXPECT_EQ(files::ReadRecoveryCopy(folder.string()).problem,
              "model-6.pwp is not a part file the reader accepts");
}

TEST(RecoveryCopy, RemovedWholeAndSetAsideUnderFreeNames) {
    const QuietLog quiet;
    const ScratchFolder scratch;
    const std::string folder = (scratch / "recovery").string();
    EXPECT_TRUE(files::RemoveRecoveryCopy(folder));  // nothing there
    ASSERT_TRUE(files::WriteRecoveryCopy(folder, ExampleCopy(), 1));
    EXPECT_TRUE(files::RemoveRecoveryCopy(folder));
    EXPECT_TRUE(Names(scratch.path()).empty());
    EXPECT_EQ(files::ReadRecoveryCopy(folder).state, files::RecoveryState::kNone);

    for (const char* expected : {"recovery-T.damaged", "recovery-T-2.damaged"}) {
        ASSERT_TRUE(files::WriteRecoveryCopy(folder, ExampleCopy(), 1));
        const auto moved = files::SetAsideRecoveryCopy(folder, "T");
        ASSERT_TRUE(moved) << moved.error();
        EXPECT_EQ(*moved, (scratch / expected).string());
        EXPECT_EQ(Names(*moved).size(), 3u);
    }
}

TEST(RecoveryWriter, CarriesOutTheNewestRequestOffTheCallersThread) {
    const QuietLog quiet;
    const ScratchFolder scratch;
    const std::string folder = (scratch / "recovery").string();
    files::RecoveryWriter writer(folder + "/");
    files::RecoveryCopy copy = ExampleCopy();
    for (int i = 0; i < 20; ++i) {
        copy.modelPath = "/p" + std::to_string(i);
        writer.Write(copy);
    }
    writer.Flush();
    EXPECT_EQ(files::ReadRecoveryCopy(folder).copy, copy);
    writer.Remove();
    writer.Flush();
    EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
