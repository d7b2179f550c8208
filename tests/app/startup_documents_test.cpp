#include "app/core/startup_documents.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/core/session.h"
#include "framework/debug_log.h"
#include "framework/notice.h"
#include "tests/app/editor_test_support.h"

namespace {

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/";

TEST(StartupDocuments, SwitchesAreSkippedAndTheFirstTwoOthersTaken) {
    const std::vector<std::string> args = {"posewrighter", "-dbf", "/3ds",     "/home/u/robot.pwp",
                                           "-2nd",         "/fx",  "walk.pwa", "extra.pwa"};
    const auto documents = app::StartupDocumentsFromArguments(args);
    EXPECT_EQ(documents.model, "/home/u/robot.pwp");  // an absolute path is not a switch
    EXPECT_EQ(documents.animation, "walk.pwa");
}

// The mesh loads and releases are not under test: the log goes nowhere meanwhile.
using app::testing_support::QuietLog;

// The panels exist before the documents open: they must be told to show what was opened.
struct ShownKeys : app::PanelObserver {
    void KeyShown(int keyNumber) override { keys.push_back(keyNumber); }
    std::vector<int> keys;
};

TEST(StartupDocuments, TheModelAndItsAnimationOpenAndTheRecordNotesTheirPaths) {
    const QuietLog quiet;
    auto session = std::make_unique<app::Session>();
    ShownKeys panels;
    session->SetPanelObserver(&panels);
    app::OpenStartupDocuments(*session, {kRobot + "robot.pwp", kRobot + "robot.pwa"});
    // Key 1 shown again with its frames, so that its Frame arrows start from them, not from 0.
    EXPECT_EQ(panels.keys, std::vector<int>{1});
    session->SetPanelObserver(nullptr);
    EXPECT_EQ(session->model.parts.count, 12);
    EXPECT_GE(session->model.animation.KeysInUse(), 4);
    EXPECT_EQ(session->documents.modelPath, kRobot + "robot.pwp");
    EXPECT_EQ(session->documents.animationPath, kRobot + "robot.pwa");
}

TEST(StartupDocuments, AMissingModelIsReportedAndItsAnimationNotOpened) {
    const QuietLog quiet;
    std::vector<std::string> notices;
    framework::SetNoticeHandler([&notices](std::string_view text) { notices.emplace_back(text); });
    auto session = std::make_unique<app::Session>();
    app::OpenStartupDocuments(*session, {kRobot + "missing.pwp", kRobot + "robot.pwa"});
    framework::SetNoticeHandler({});
    EXPECT_EQ(session->model.parts.count, 0);
    EXPECT_EQ(session->model.animation.KeysInUse(), 0);
    EXPECT_EQ(notices.size(), 1u);
    EXPECT_EQ(session->documents.modelPath, "");
    EXPECT_EQ(session->documents.animationPath, "");
}

}  // namespace
