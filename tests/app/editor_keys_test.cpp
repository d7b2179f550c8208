// The editor's keys without a window: which stroke runs which command, the text menus show, and
// what the commands do that the panels' own tests do not already cover: Save straight to the
// file's own path, the key shown, play and the guard while a drag holds an edit open.

#include "app/commands/editor_keys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/editor_actions.h"
#include "framework/notice.h"
#include "tests/app/view_input_support.h"

namespace {

using app::EditorCommand;
using app::Key;
using app::KeyStroke;
namespace fs = std::filesystem;

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp";

TEST(EditorKeys, EachStrokeRunsItsCommandAndOnlyWithItsOwnModifiers) {
    struct Case {
        KeyStroke stroke;
        std::optional<EditorCommand> command;
    };
    const auto ctrl = [](Key key, bool shift = false) { return KeyStroke{key, true, shift}; };
    const auto held = [](KeyStroke stroke) {
        stroke.repeat = true;
        return stroke;
    };
    using C = EditorCommand;
    const Case cases[] = {
        {ctrl(Key::kZ), C::kUndo},
        {ctrl(Key::kY), C::kRedo},
        {ctrl(Key::kZ, true), C::kRedo},
        {ctrl(Key::kS), C::kSave},
        {ctrl(Key::kS, true), C::kSaveAs},
        {ctrl(Key::kO), C::kOpen},
        {{Key::kDelete}, C::kDeletePart},
        {{Key::kSpace}, C::kPlayOrStop},
        {{Key::kPageUp}, C::kPreviousKey},
        {{Key::kPageDown}, C::kNextKey},
        {{Key::kF}, C::kFrameSelection},
        {{Key::kKeypad1}, C::kViewFront},
        {ctrl(Key::kKeypad1), C::kViewBack},
        {{Key::kKeypad3}, C::kViewRight},
        {ctrl(Key::kKeypad3), C::kViewLeft},
        {{Key::kKeypad7}, C::kViewTop},
        {ctrl(Key::kKeypad7), C::kViewBottom},
        // Letters without Ctrl are typing, not commands (F alone is the exception).
        {{Key::kZ}, std::nullopt},
        {{Key::kS}, std::nullopt},
        {ctrl(Key::kF), std::nullopt},
        {{Key::kF, false, true}, std::nullopt},
        {ctrl(Key::kY, true), std::nullopt},
        {ctrl(Key::kO, true), std::nullopt},
        {ctrl(Key::kSpace), std::nullopt},
        {{Key::kKeypad1, false, true}, std::nullopt},
        // Alt belongs to the menus' mnemonics (Alt+F opens the File menu).
        {{Key::kF, false, false, true}, std::nullopt},
        {{Key::kZ, true, false, true}, std::nullopt},
        {ctrl(Key::kOther), std::nullopt},
        // Held down: stepping commands go on, the others act once.
        {held(ctrl(Key::kZ)), C::kUndo},
        {held({Key::kPageDown}), C::kNextKey},
        {held({Key::kSpace}), std::nullopt},
        {held({Key::kDelete}), std::nullopt},
        {held(ctrl(Key::kS)), std::nullopt},
        {held({Key::kF}), std::nullopt},
    };
    for (const Case& c : cases) {
        const KeyStroke& s = c.stroke;
        EXPECT_EQ(app::CommandForKey(s), c.command)
            << "key " << static_cast<int>(s.key) << " ctrl " << s.ctrl << " shift " << s.shift
            << " alt " << s.alt << " repeat " << s.repeat;
    }
}

TEST(EditorKeys, MenusShowTheFirstStrokeOfACommand) {
    EXPECT_EQ(app::ShortcutText(EditorCommand::kSave), "Ctrl+S");
    EXPECT_EQ(app::ShortcutText(EditorCommand::kSaveAs), "Ctrl+Shift+S");
    EXPECT_EQ(app::ShortcutText(EditorCommand::kRedo), "Ctrl+Y");
    EXPECT_EQ(app::ShortcutText(EditorCommand::kDeletePart), "Del");
}

struct HeardPanels : app::PanelObserver {
    void KeyShown(int keyNumber) override { keys.push_back(keyNumber); }
    void PlayingChanged(bool playing) override { plays.push_back(playing); }
    std::vector<int> keys;
    std::vector<bool> plays;
};

class EditorKeyCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        framework::SetNoticeHandler([this](std::string_view text) { notices.emplace_back(text); });
        session.SetPanelObserver(&heard);
        folder = fs::temp_directory_path() / ("pw-keys-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override {
        fs::remove_all(folder);
        framework::SetNoticeHandler({});
    }
    // Runs the command; a dialog, if one is asked for, answers `path` and is counted.
    bool Run(EditorCommand command, std::optional<std::string> path = std::nullopt) {
        return app::RunEditorCommand(session, command, [&](const app::FileRequest& request) {
            asked.push_back(request);
            return path;
        });
    }
    static std::string Bytes(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    const view_input_support::QuietLog quiet;  // until the session has gone
    app::Session session;
    HeardPanels heard;
    std::vector<std::string> notices;
    std::vector<app::FileRequest> asked;
    fs::path folder;
};

TEST_F(EditorKeyCommands, SaveWritesToTheFilesOwnPathWithoutADialog) {
    ASSERT_TRUE(Run(EditorCommand::kOpen, kRobot));
    // Save As into another folder: the dialog, starting from the file's own path.
    const fs::path own = folder / "own.pwp";
    ASSERT_TRUE(Run(EditorCommand::kSaveAs, own.string()));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[1].save);
    EXPECT_EQ(asked[1].startPath, kRobot);
    const std::string first = Bytes(own);

    session.editor.SelectedPart = 2;
    session.model.scene.node[2].SetOrientation({0.0f, 0.6f, 0.0f, 0.8f});
    ASSERT_TRUE(
        app::RunPartPanelCommand(session, app::PartPanelCommand::kStoreDefaultOrientation, {}));
    asked.clear();
    notices.clear();
    ASSERT_TRUE(Run(EditorCommand::kSave));
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(notices, std::vector<std::string>{std::string(app::kPartFileWrittenMessage)});
    EXPECT_EQ(session.documents.modelPath, own.string());
    const std::string saved = Bytes(own);
    EXPECT_NE(saved, first);

    // What the dialog save writes into the same folder, byte for byte.
    const fs::path beside = folder / "beside.pwp";
    ASSERT_TRUE(Run(EditorCommand::kSaveAs, beside.string()));
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(Bytes(beside), saved);
}

TEST_F(EditorKeyCommands, SaveOfAModelNeverSavedAsksAndNothingRunsDuringADrag) {
    EXPECT_FALSE(Run(EditorCommand::kSave));  // no parts: nothing to save, nothing asked
    EXPECT_TRUE(asked.empty());
    ASSERT_TRUE(app::RunPartPanelCommand(
        session, app::PartPanelCommand::kAddChildPart,
        [](const app::FileRequest&) { return POSEWRIGHTER_TEST_DATA "/model/cube.x"; }));
    ASSERT_EQ(session.documents.modelPath, "");
    EXPECT_TRUE(Run(EditorCommand::kSave));  // cancelled
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].save);

    // A drag holds an edit open: a key must not delete its part under it, or undo it.
    session.editor.SelectedPart = 0;
    session.model.BeginEdit();
    EXPECT_FALSE(Run(EditorCommand::kDeletePart));
    EXPECT_FALSE(Run(EditorCommand::kSave));
    session.model.EndEdit();
    EXPECT_EQ(session.model.parts.count, 1);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(Run(EditorCommand::kDeletePart));
    EXPECT_EQ(session.model.parts.count, 0);
    EXPECT_TRUE(Run(EditorCommand::kUndo));
    EXPECT_EQ(session.model.parts.count, 1);
}

TEST_F(EditorKeyCommands, PageKeysStepTheKeyShownWithinOneToSixteenAndSpacePlays) {
    EXPECT_FALSE(Run(EditorCommand::kPreviousKey));
    EXPECT_EQ(session.shownKey(), 1);
    EXPECT_TRUE(Run(EditorCommand::kNextKey));
    EXPECT_EQ(session.shownKey(), 2);
    app::SetShownKey(session, 16);
    EXPECT_FALSE(Run(EditorCommand::kNextKey));
    EXPECT_TRUE(Run(EditorCommand::kPreviousKey));
    EXPECT_EQ(heard.keys, (std::vector<int>{1, 2, 16, 15}));

    EXPECT_TRUE(Run(EditorCommand::kPlayOrStop));
    EXPECT_TRUE(session.playing());
    EXPECT_TRUE(Run(EditorCommand::kPlayOrStop));
    EXPECT_FALSE(session.playing());
    EXPECT_EQ(heard.plays, (std::vector<bool>{true, false}));
}

}  // namespace
