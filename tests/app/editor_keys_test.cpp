// The editor's keys without a window: which stroke runs which command, Save straight to the
// file's own path, and nothing run under a drag.

#include "app/commands/editor_keys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/notice.h"
#include "tests/app/view_input_support.h"

namespace {

using app::EditorCommand;
using app::Key;
namespace fs = std::filesystem;

TEST(EditorKeys, EachStrokeRunsItsCommandWithExactlyItsModifiers) {
    using C = EditorCommand;
    struct Case {
        Key key;
        bool ctrl, shift, alt, repeat;
        std::optional<C> command;
    };
    const Case cases[] = {
        {Key::kZ, true, false, false, false, C::kUndo},
        {Key::kY, true, false, false, false, C::kRedo},
        {Key::kZ, true, true, false, false, C::kRedo},
        {Key::kS, true, false, false, false, C::kSave},
        {Key::kS, true, true, false, false, C::kSaveAs},
        {Key::kO, true, false, false, false, C::kOpen},
        {Key::kDelete, false, false, false, false, C::kDeletePart},
        {Key::kSpace, false, false, false, false, C::kPlayOrStop},
        {Key::kPageUp, false, false, false, false, C::kPreviousKey},
        {Key::kPageDown, false, false, false, true, C::kNextKey},  // held: steps on
        {Key::kF, false, false, false, false, C::kFrameSelection},
        {Key::kKeypad1, false, false, false, false, C::kViewFront},
        {Key::kKeypad1, true, false, false, false, C::kViewBack},
        {Key::kKeypad3, true, false, false, false, C::kViewLeft},
        {Key::kKeypad7, false, false, false, false, C::kViewTop},
        {Key::kZ, false, false, false, false, std::nullopt},  // typing
        {Key::kF, true, false, false, false, std::nullopt},
        {Key::kF, false, false, true, false, std::nullopt},  // Alt+F opens the File menu
        {Key::kKeypad1, false, true, false, false, std::nullopt},
        {Key::kSpace, false, false, false, true, std::nullopt},  // held: acts once
        {Key::kDelete, false, false, false, true, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(app::CommandForKey({c.key, c.ctrl, c.shift, c.alt, c.repeat}), c.command)
            << "key " << static_cast<int>(c.key) << " ctrl " << c.ctrl << " shift " << c.shift
            << " alt " << c.alt << " repeat " << c.repeat;
    }
    EXPECT_EQ(app::ShortcutText(EditorCommand::kSaveAs), "Ctrl+Shift+S");
}

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(EditorKeys, SaveWritesTheDialogSavesBytesToTheOwnPathWithoutAskingAndWaitsForADrag) {
    const view_input_support::QuietLog quiet;
    const fs::path folder = fs::temp_directory_path() / ("pw-keys-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    int notices = 0;
    framework::SetNoticeHandler([&](std::string_view) { ++notices; });
    {
        app::Session session;
        int asked = 0;
        const auto run = [&](EditorCommand command, const std::string& path = {}) {
            return app::RunEditorCommand(session, command, [&](const app::FileRequest&) {
                ++asked;
                return std::optional<std::string>(path);
            });
        };
        ASSERT_TRUE(
            run(EditorCommand::kOpen, POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp"));
        ASSERT_TRUE(run(EditorCommand::kSaveAs, (folder / "own.pwp").string()));
        session.model.scene.node[2].SetOrientation({0.0f, 0.6f, 0.0f, 0.8f});
        ASSERT_TRUE(
            app::RunPartPanelCommand(session, app::PartPanelCommand::kStoreDefaultOrientation, {}));

        // A drag holds an edit open: no save, delete or undo under it.
        session.editor.SelectedPart = 2;
        session.model.BeginEdit();
        EXPECT_FALSE(run(EditorCommand::kSave));
        EXPECT_FALSE(run(EditorCommand::kDeletePart));
        session.model.EndEdit();
        EXPECT_EQ(notices, 1);

        ASSERT_TRUE(run(EditorCommand::kSave));
        EXPECT_EQ(asked, 2);  // open and save as only
        EXPECT_EQ(notices, 2);
        ASSERT_TRUE(run(EditorCommand::kSaveAs, (folder / "beside.pwp").string()));
        EXPECT_EQ(Bytes(folder / "own.pwp"), Bytes(folder / "beside.pwp"));
        EXPECT_NE(Bytes(folder / "own.pwp").find("+0.600000f, +0.000000f, +0.800000f"),
                  std::string::npos);
    }
    framework::SetNoticeHandler({});
    fs::remove_all(folder);
}

}  // namespace
