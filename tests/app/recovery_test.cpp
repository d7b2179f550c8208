// The recovery copy's life in the editor: made after a change (at most once a second by the
// injected clock), removed after a save, left by a quit, offered and restored at the next
// start, set aside when damaged; several editors at once, each with a copy of its own.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "app/commands/animation_panel_commands.h"
#include "app/commands/part_panel_commands.h"
#include "app/recovery/recovering_editor.h"
#include "files/animation_file.h"
#include "files/part_file.h"
#include "files/recovery/recovery_copies.h"
#include "files/recovery/recovery_copy.h"
#include "framework/debug_log.h"
#include "framework/notice.h"
#include "tests/app/editor_test_support.h"

namespace {

namespace fs = std::filesystem;

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/";

using app::testing_support::QuietLog;

// The requests as the keeper makes them: "write" or "remove".
struct RecordingSink : files::RecoverySink {
    void Write(files::RecoveryCopy copy) override {
        requests.push_back("write");
        last = std::move(copy);
    }
    void Remove() override { requests.push_back("remove"); }
    void Flush() override { requests.push_back("flush"); }
    std::vector<std::string> requests;
    files::RecoveryCopy last;
};

std::unique_ptr<app::Session> OpenRobot() {
    auto session = std::make_unique<app::Session>();
    app::OpenStartupDocuments(*session, {kRobot + "robot.pwp", kRobot + "robot.pwa"});
    return session;
}

app::ChooseFile Answer(const std::string& path) {
    return [path](const app::FileRequest&) { return std::optional<std::string>(path); };
}

class RecoveryLife : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("posewrighter-recovery-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
        folder = (root_ / "recovery").string() + "/";
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
    std::string folder;
    const QuietLog quiet_;
};

TEST(RecoveryKeeper, LooksAtMostOnceASecondAndWritesOnlyAfterAChange) {
    const QuietLog quiet;
    auto session = OpenRobot();
    RecordingSink sink;
    app::RecoveryKeeper keeper(*session, sink);
    // Across the 32-bit wrap of the millisecond clock.
    const std::uint32_t start = 0xFFFFFE00u;
    keeper.Step(start);
    keeper.Step(start + 1000);  // nothing changed since it opened: the clean look removes
    EXPECT_EQ(sink.requests, std::vector<std::string>{"remove"});
    app::ScaleInput(*session, "2", 1);
    keeper.Step(start + 1999);
    EXPECT_EQ(sink.requests.size(), 1u);
    keeper.Step(start + 2000);
    EXPECT_EQ(sink.requests, (std::vector<std::string>{"remove", "write"}));
    EXPECT_TRUE(sink.last.modelUnsaved);
    EXPECT_FALSE(sink.last.animationUnsaved);
    EXPECT_EQ(sink.last.modelPath, kRobot + "robot.pwp");
    EXPECT_EQ(sink.last.model, *files::FormatPartFile(session->model.parts));
    for (std::uint32_t t = 3000; t <= 9000; t += 1000) keeper.Step(start + t);
    EXPECT_EQ(keeper.formatted(), 2);  // idle seconds compare fields, never format
    EXPECT_EQ(sink.requests.size(), 2u);
}

// Each kind of edit a save would keep; which document it makes unsaved.
TEST(RecoveryKeeper, EveryEditASaveKeepsMakesTheCopyAndSavingBothRemovesIt) {
    const QuietLog quiet;
    struct Edit {
        const char* what;
        std::function<void(app::Session&)> apply;
        bool model, animation;
    };
    const Edit edits[] = {
        {"scale", [](app::Session& s) { app::ScaleInput(s, "3", 1); }, true, false},
        {"delete a part (keys move with it)",
         [](app::Session& s) {
             s.editor.SelectedPart = 11;
             app::RunPartPanelCommand(s, app::PartPanelCommand::kDeletePart, {});
         },
         true, true},
        {"turn and store the default orientation",
         [](app::Session& s) {
             s.model.scene.node[3].SetOrientation({0.0f, 0.6f, 0.0f, 0.8f});
             app::RunPartPanelCommand(s, app::PartPanelCommand::kStoreDefaultOrientation, {});
         },
         true, false},
        {"turn and Set key 2",
         [](app::Session& s) {
             s.model.scene.node[3].SetOrientation({0.0f, 0.6f, 0.0f, 0.8f});
             app::StoreAnimationKey(s, 2);
         },
         false, true},
        {"frame count", [](app::Session& s) { app::SetKeyFrameCount(s, 1, 42); }, false, true},
    };
    const fs::path saved = fs::temp_directory_path() / ("pw-recovery-" + std::to_string(getpid()));
    framework::SetNoticeHandler([](std::string_view) {});  // "written" after each save
    for (const Edit& edit : edits) {
        auto session = OpenRobot();
        RecordingSink sink;
        app::RecoveryKeeper keeper(*session, sink);
        keeper.Step(0);
        edit.apply(*session);
        keeper.Step(1000);
        ASSERT_EQ(sink.requests, std::vector<std::string>{"write"}) << edit.what;
        EXPECT_EQ(sink.last.modelUnsaved, edit.model) << edit.what;
        EXPECT_EQ(sink.last.animationUnsaved, edit.animation) << edit.what;
        EXPECT_EQ(keeper.modelUnsaved(), edit.model) << edit.what;
        EXPECT_EQ(keeper.animationUnsaved(), edit.animation) << edit.what;

        // One document saved: the copy stays while the other is unsaved.
        app::RunPartPanelCommand(*session, app::PartPanelCommand::kSavePartFileAs,
                                 Answer(saved.string() + ".pwp"));
        keeper.Step(2000);
        EXPECT_FALSE(keeper.modelUnsaved()) << edit.what;
        EXPECT_EQ(keeper.animationUnsaved(), edit.animation) << edit.what;
        app::SaveAnimation(*session, Answer(saved.string() + ".pwa"));
        keeper.Step(3000);
        EXPECT_FALSE(keeper.unsaved()) << edit.what;
        const std::vector<std::string> expected =
            edit.animation ? std::vector<std::string>{"write", "write", "remove"}
                           : std::vector<std::string>{"write", "remove"};
        EXPECT_EQ(sink.requests, expected) << edit.what;
        EXPECT_EQ(session->documents.modelPath, saved.string() + ".pwp");
    }
    framework::SetNoticeHandler({});
    fs::remove(saved.string() + ".pwp");
    fs::remove(saved.string() + ".pwa");
}

TEST_F(RecoveryLife, AQuitLeavesTheCopyAndTheNextStartRestoresItWithItsPaths) {
    std::string model, animation;
    {
        auto session = OpenRobot();
        files::RecoveryWriter writer(folder);
        app::RecoveryKeeper keeper(*session, writer);
        keeper.Step(0);
        session->model.scene.node[5].SetOrientation({0.6f, 0.0f, 0.0f, 0.8f});
        app::StoreAnimationKey(*session, 3);
        session->editor.SelectedPart = 11;
        app::RunPartPanelCommand(*session, app::PartPanelCommand::kDeletePart, {});
        keeper.Finish();  // the quit, before a second has passed
        model = *files::FormatPartFile(session->model.parts);
        animation = *files::FormatAnimationFile(session->model.animation, session->model.parts);
    }
    ASSERT_EQ(files::ReadRecoveryCopy(folder).state, files::RecoveryState::kFound);

    // The next start, with other files named on its command line: the copy comes first. It was
    // written straight into the recovery folder, as the older one-copy layout kept it; with no
    // copy of its own, the editor leaves it where it was moved to.
    auto session = std::make_unique<app::Session>();
    struct Steps : app::EditorSteps {
        void Startup() override {}
        void Frame(const framework::InputState&) override {}
        void Shutdown() override {}
    } steps;
    struct Clock : app::PacerClock {
        std::uint32_t NowMilliseconds() override { return 0; }
        void SleepMilliseconds(std::uint32_t) override {}
    } clock;
    RecordingSink sink;
    app::RecoveryKeeper keeper(*session, sink);
    std::vector<std::string> questions;
    app::RecoveringEditor editor(steps, *session, {kRobot + "robot.pwp", ""}, keeper, clock,
                                 {folder,
                                  [&](std::string_view q) {
                                      questions.emplace_back(q);
                                      return true;
                                  },
                                  {},
                                  {}});
    editor.Startup();
    EXPECT_EQ(editor.outcome(), app::RecoveryOutcome::kRestored);
    EXPECT_EQ(questions, std::vector<std::string>{std::string(app::kRecoveryQuestion)});
    EXPECT_EQ(session->model.parts.count, 11);
    EXPECT_EQ(*files::FormatPartFile(session->model.parts), model);
    EXPECT_EQ(*files::FormatAnimationFile(session->model.animation, session->model.parts),
              animation);
    EXPECT_EQ(session->documents.modelPath, kRobot + "robot.pwp");
    EXPECT_EQ(session->documents.animationPath, kRobot + "robot.pwa");
    // Still unsaved: the copy is kept until the documents are saved.
    editor.Shutdown();
    EXPECT_EQ(sink.requests, (std::vector<std::string>{"write", "flush"}));
}

// Close empties the table but keeps the keys: whatever copy that leaves must open again.
TEST_F(RecoveryLife, ACopyAfterCloseIsOneTheReadersTake) {
    auto session = OpenRobot();
    files::RecoveryWriter writer(folder);
    app::RecoveryKeeper keeper(*session, writer);
    keeper.Step(0);
    app::RunPartPanelCommand(*session, app::PartPanelCommand::kClosePartFile, {});
    keeper.Finish();
    const files::RecoveryRead read = files::ReadRecoveryCopy(folder);
    EXPECT_NE(read.state, files::RecoveryState::kDamaged) << read.problem;
}

TEST_F(RecoveryLife, DiscardingRemovesTheCopyAndADamagedOneIsSetAsideUnopened) {
    files::RecoveryCopy copy;
    copy.modelUnsaved = true;
    copy.model = *files::FormatPartFile(*std::make_unique<model::PartTable>());
    ASSERT_TRUE(files::WriteRecoveryCopy(folder, copy, 1));
    auto session = std::make_unique<app::Session>();
    const auto no = [](std::string_view) { return false; };
    EXPECT_EQ(app::OfferRecovery(*session, folder, no, "T"), app::RecoveryOutcome::kDiscarded);
    EXPECT_FALSE(fs::exists(folder));

    copy.animation = "not an animation";
    ASSERT_TRUE(files::WriteRecoveryCopy(folder, copy, 1));
    std::vector<std::string> notices;
    framework::SetNoticeHandler([&](std::string_view text) { notices.emplace_back(text); });
    bool asked = false;
    const auto outcome = app::OfferRecovery(
        *session, folder, [&](std::string_view) { return asked = true; }, "T");
    framework::SetNoticeHandler({});
    EXPECT_EQ(outcome, app::RecoveryOutcome::kSetAside);
    EXPECT_FALSE(asked);
    const std::string aside = (root_ / "recovery-T.damaged").string();
    EXPECT_EQ(notices, std::vector<std::string>{std::string(app::kRecoveryDamagedMessage) + aside});
    EXPECT_TRUE(fs::exists(fs::path(aside) / "animation-1.pwa"));
    EXPECT_FALSE(fs::exists(folder));
}

// One editor's run as main sets it up: its own copy under its lock, the writer and the keeper.
struct EditorRun {
    EditorRun(const std::string& root, const std::string& id)
        : session(OpenRobot()), own(Claim(root, id)), writer(own.folder), keeper(*session, writer) {
        keeper.Step(0);
    }
    static files::OwnRecoveryCopy Claim(const std::string& root, const std::string& id) {
        auto claimed = files::ClaimRecoveryCopy(root, id);
        if (!claimed) {
            ADD_FAILURE() << claimed.error();
            return {};
        }
        return std::move(claimed).value();
    }
    // A look a second later, and its request carried out.
    void Keep(std::uint32_t now) {
        keeper.Step(now);
        writer.Flush();
    }
    std::string model() const { return *files::FormatPartFile(session->model.parts); }

    std::unique_ptr<app::Session> session;
    files::OwnRecoveryCopy own;
    files::RecoveryWriter writer;
    app::RecoveryKeeper keeper;
};

// A start of the editor with its own copy `id` in `root`: the questions it asked, each answered
// with the next of `answers`.
struct Start {
    Start(const std::string& root, const std::string& id, std::vector<bool> answers)
        : own(EditorRun::Claim(root, id)), keeper(session, sink) {
        struct Steps : app::EditorSteps {
            void Startup() override {}
            void Frame(const framework::InputState&) override {}
            void Shutdown() override {}
        } steps;
        struct Clock : app::PacerClock {
            std::uint32_t NowMilliseconds() override { return 0; }
            void SleepMilliseconds(std::uint32_t) override {}
        } clock;
        app::RecoveringEditor editor(steps, session, {}, keeper, clock,
                                     {root,
                                      [&](std::string_view) {
                                          const bool yes =
                                              questions < answers.size() && answers[questions];
                                          ++questions;
                                          return yes;
                                      },
                                      [] { return std::string("T"); }, own.folder});
        editor.Startup();
        outcome = editor.outcome();
    }
    app::Session session;
    files::OwnRecoveryCopy own;
    RecordingSink sink;
    app::RecoveryKeeper keeper;
    std::size_t questions = 0;
    app::RecoveryOutcome outcome = app::RecoveryOutcome::kNoCopy;
};

files::RecoveryRead ReadCopy(const std::string& folder) {
    return files::ReadRecoveryCopy(folder);
}

TEST_F(RecoveryLife, TwoEditorsKeepACopyEachAndASaveRemovesOnlyItsOwn) {
    const std::string root = (root_ / "recovery").string();
    EditorRun a(root, "1-1"), b(root, "2-2");
    app::ScaleInput(*a.session, "2", 1);
    app::ScaleInput(*b.session, "3", 1);
    a.Keep(1000);
    b.Keep(1000);
    ASSERT_NE(a.model(), b.model());
    for (const EditorRun* run : {&a, &b}) {
        const files::RecoveryRead read = ReadCopy(run->own.folder);
        ASSERT_EQ(read.state, files::RecoveryState::kFound) << run->own.folder << read.problem;
        EXPECT_EQ(read.copy.model, run->model()) << run->own.folder;
    }

    // A saves its model: nothing of A's is unsaved, so A's copy goes and B's stays.
    framework::SetNoticeHandler([](std::string_view) {});
    const fs::path saved = root_ / "a.pwp";
    app::RunPartPanelCommand(*a.session, app::PartPanelCommand::kSavePartFileAs,
                             Answer(saved.string()));
    framework::SetNoticeHandler({});
    a.Keep(2000);
    b.Keep(2000);
    EXPECT_FALSE(fs::exists(a.own.folder));
    EXPECT_EQ(ReadCopy(b.own.folder).copy.model, b.model());
    // So does a close with nothing unsaved (B's scale back as it was opened).
    app::ScaleInput(*b.session, "1", 1);
    b.keeper.Finish();
    EXPECT_FALSE(fs::exists(b.own.folder));
}

TEST_F(RecoveryLife, ACopyIsOfferedOnlyOnceItsEditorIsGoneAndRestoringTakesItOver) {
    const std::string root = (root_ / "recovery").string();
    auto a = std::make_unique<EditorRun>(root, "1-1");
    app::ScaleInput(*a->session, "2", 1);
    a->Keep(1000);
    const std::string aFolder = a->own.folder;
    const std::string aModel = a->model();

    const Start b(root, "2-2", {true});
    EXPECT_EQ(b.questions, 0u) << "offered the copy of an editor that runs";
    EXPECT_EQ(b.outcome, app::RecoveryOutcome::kNoCopy);
    EXPECT_EQ(ReadCopy(aFolder).copy.model, aModel);

    a.reset();  // killed: its lock goes with it, its copy and lock file stay
    ASSERT_TRUE(fs::exists(root + "/editor-1-1.lock"));
    const Start c(root, "3-3", {true});
    EXPECT_EQ(c.questions, 1u);
    EXPECT_EQ(c.outcome, app::RecoveryOutcome::kRestored);
    EXPECT_EQ(*files::FormatPartFile(c.session.model.parts), aModel);
    // Now C's own copy, under C's lock.
    EXPECT_FALSE(fs::exists(aFolder));
    EXPECT_FALSE(fs::exists(root + "/editor-1-1.lock"));
    EXPECT_EQ(ReadCopy(c.own.folder).copy.model, aModel);
    const Start d(root, "4-4", {true});
    EXPECT_EQ(d.questions, 0u);
}

// Two copies left by editors that are gone (the newer of scale 2, the older of scale 3) beside
// the copy of one that runs; what each run of answers leaves.
TEST_F(RecoveryLife, LeftCopiesAreOfferedNewestFirstAndNoRemovesOnlyThatOne) {
    struct Case {
        const char* what;
        bool damagedNewer;
        std::vector<bool> answers;
        std::size_t questions;
        app::RecoveryOutcome outcome;
        const char* restoredScale;  // nullptr: nothing restored
        bool newerLeft, olderLeft;
    };
    const Case cases[] = {
        {"No, No",
         false,
         {false, false},
         2,
         app::RecoveryOutcome::kDiscarded,
         nullptr,
         false,
         false},
        {"No, Yes", false, {false, true}, 2, app::RecoveryOutcome::kRestored, "3", false, false},
        {"Yes", false, {true}, 1, app::RecoveryOutcome::kRestored, "2", false, true},
        {"damaged newer, Yes", true, {true}, 1, app::RecoveryOutcome::kRestored, "3", false, false},
    };
    framework::SetNoticeHandler([](std::string_view) {});
    for (const Case& test : cases) {
        const std::string root = (root_ / test.what).string();
        EditorRun running(root, "1-1");
        app::ScaleInput(*running.session, "5", 1);
        running.Keep(1000);
        std::string newer, older;
        for (const char* scale : {"3", "2"}) {
            EditorRun gone(root, std::string("gone-") + scale);
            app::ScaleInput(*gone.session, scale, 1);
            gone.Keep(1000);
            (scale[0] == '3' ? older : newer) = gone.own.folder;
            fs::last_write_time(
                gone.own.folder + "manifest.txt",
                fs::file_time_type::clock::now() - std::chrono::minutes(scale[0] == '3' ? 20 : 10));
        }
        if (test.damagedNewer) std::ofstream(newer + "manifest.txt", std::ios::trunc) << "cut";

        const Start start(root, "9-9", test.answers);
        EXPECT_EQ(start.questions, test.questions) << test.what;
        EXPECT_EQ(start.outcome, test.outcome) << test.what;
        if (test.restoredScale != nullptr) {
            EXPECT_EQ(start.session.model.parts.scale, std::stof(test.restoredScale)) << test.what;
            EXPECT_EQ(ReadCopy(start.own.folder).state, files::RecoveryState::kFound) << test.what;
        }
        EXPECT_EQ(fs::exists(newer), test.newerLeft) << test.what;
        EXPECT_EQ(fs::exists(older), test.olderLeft) << test.what;
        EXPECT_EQ(fs::exists(root + "/recovery-T.damaged/manifest.txt"), test.damagedNewer)
            << test.what;
        EXPECT_EQ(ReadCopy(running.own.folder).copy.model, running.model()) << test.what;
    }
    framework::SetNoticeHandler({});
}

// A document its writer refuses does not keep the other out of the copy: the refused one keeps
// the bytes its writer gave last (here, as opened).
TEST(RecoveryKeeper, ADocumentTheWriterRefusesLeavesTheOtherKept) {
    const QuietLog quiet;
    struct Case {
        const char* what;
        std::function<void(app::Session&)> edit;  // a change the writers take
        std::function<void(app::Session&)> refuse;
        bool modelCurrent;  // else the animation is the current one
    };
    const Case cases[] = {
        {"part file refused: scale below zero",
         [](app::Session& s) { app::SetKeyFrameCount(s, 1, 42); },
         [](app::Session& s) { s.model.parts.scale = -1.0f; }, false},
        {"animation file refused: a key that is not finite",
         [](app::Session& s) { app::ScaleInput(s, "2", 1); },
         [](app::Session& s) {
             s.model.animation.keyOrientation[0][0].x = std::numeric_limits<float>::quiet_NaN();
         },
         true},
    };
    for (const Case& test : cases) {
        auto session = OpenRobot();
        const std::string openedModel = *session->documents.savedModel;
        const std::string openedAnimation = *session->documents.savedAnimation;
        RecordingSink sink;
        app::RecoveryKeeper keeper(*session, sink);
        keeper.Step(0);
        test.edit(*session);
        const std::string model = *files::FormatPartFile(session->model.parts);
        const std::string animation =
            *files::FormatAnimationFile(session->model.animation, session->model.parts);
        test.refuse(*session);
        keeper.Step(1000);
        ASSERT_EQ(sink.requests, std::vector<std::string>{"write"}) << test.what;
        EXPECT_TRUE(sink.last.modelUnsaved) << test.what;
        EXPECT_TRUE(sink.last.animationUnsaved) << test.what;
        EXPECT_EQ(sink.last.model, test.modelCurrent ? model : openedModel) << test.what;
        EXPECT_EQ(sink.last.animation, test.modelCurrent ? openedAnimation : animation)
            << test.what;
    }
}

// The keeper compares the whole document: each field a save writes, changed alone, is noticed
// at the next look and makes the copy; the live pose alone (nothing stored) is not.
TEST(RecoveryKeeper, EachSavedFieldChangedAloneIsNoticed) {
    const QuietLog quiet;
    struct Case {
        const char* what;
        std::function<void(app::Session&)> change;
        bool model, animation;  // which documents it leaves unsaved
    };
    const Case cases[] = {
        {"name", [](app::Session& s) { model::PartTable::SetField(s.model.parts.name[3], "arm"); },
         true, true},  // the animation file names the parts in its comments
        {"path", [](app::Session& s) { model::PartTable::SetField(s.model.parts.path[3], "a.x"); },
         true, false},
        {"parent", [](app::Session& s) { s.model.parts.parent[3] = 1; }, true, false},
        {"level", [](app::Session& s) { s.model.parts.level[3] = 5; }, true, false},
        {"default position", [](app::Session& s) { s.model.parts.defaultPosition[3].y += 0.5f; },
         true, false},
        {"default orientation",
         [](app::Session& s) {
             s.model.parts.defaultOrientation[3] = {0.0f, 0.6f, 0.0f, 0.8f};
         },
         true, false},
        {"scale", [](app::Session& s) { s.model.parts.scale = 3.0f; }, true, false},
        {"number of parts", [](app::Session& s) { --s.model.parts.count; }, true, true},
        {"a key's orientation",
         [](app::Session& s) {
             s.model.animation.keyOrientation[1][3] = {0.6f, 0.0f, 0.0f, 0.8f};
         },
         false, true},
        {"a key's position", [](app::Session& s) { s.model.animation.keyPosition[1][3].x += 2.0f; },
         false, true},
        {"a key's frame count", [](app::Session& s) { ++s.model.animation.frameCount[1]; }, false,
         true},
        {"the live pose only",
         [](app::Session& s) {
             s.model.scene.node[3].SetOrientation({0.0f, 0.6f, 0.0f, 0.8f});
         },
         false, false},
    };
    for (const Case& test : cases) {
        auto session = OpenRobot();
        ASSERT_EQ(session->model.parts.count, 12) << test.what;
        RecordingSink sink;
        app::RecoveryKeeper keeper(*session, sink);
        keeper.Step(0);
        keeper.Step(1000);  // the document as opened: nothing unsaved
        ASSERT_EQ(sink.requests, std::vector<std::string>{"remove"}) << test.what;
        test.change(*session);
        keeper.Step(2000);
        const bool noticed = test.model || test.animation;
        EXPECT_EQ(keeper.formatted(), noticed ? 2 : 1) << test.what;
        EXPECT_EQ(keeper.unsaved(), noticed) << test.what;
        if (!noticed) {
            EXPECT_EQ(sink.requests.size(), 1u) << test.what;
            continue;
        }
        ASSERT_EQ(sink.requests, (std::vector<std::string>{"remove", "write"})) << test.what;
        EXPECT_EQ(sink.last.modelUnsaved, test.model) << test.what;
        EXPECT_EQ(sink.last.animationUnsaved, test.animation) << test.what;
    }
}

// A NaN makes the document differ from itself at every look: the writers run again, but the
// copy already handed over is not handed over again.
TEST(RecoveryKeeper, ADocumentHoldingANaNIsKeptOnce) {
    const QuietLog quiet;
    auto session = OpenRobot();
    RecordingSink sink;
    app::RecoveryKeeper keeper(*session, sink);
    keeper.Step(0);
    session->model.parts.defaultPosition[2].x = std::numeric_limits<float>::quiet_NaN();
    for (std::uint32_t t = 1000; t <= 4000; t += 1000) keeper.Step(t);
    EXPECT_EQ(keeper.formatted(), 4);
    EXPECT_EQ(sink.requests, std::vector<std::string>{"write"});
    EXPECT_TRUE(sink.last.modelUnsaved);
    EXPECT_EQ(sink.last.model, *session->documents.savedModel);  // the writer refuses the NaN
    session->model.parts.defaultPosition[2].x = 0.25f;
    keeper.Step(5000);
    EXPECT_EQ(sink.requests, (std::vector<std::string>{"write", "write"}));
    EXPECT_EQ(sink.last.model, *files::FormatPartFile(session->model.parts));
}

}  // namespace
