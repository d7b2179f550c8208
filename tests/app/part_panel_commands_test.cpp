// The Part panel's commands without its window: when each runs, what the panels hear, which
// commands the menu offers, the scale box's filter and the scale's text.

#include "app/commands/part_panel_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/commands/animation_panel_commands.h"
#include "framework/debug_log.h"
#include "framework/notice.h"

namespace {

using app::PartPanelCommand;
namespace fs = std::filesystem;

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp";
const std::string kCube = POSEWRIGHTER_TEST_DATA "/model/cube.x";

// Everything the panels hear, in order.
struct RecordingPanels : app::PanelObserver {
    void TreeRebuilt(const model::PartTable& parts, bool showScale) override {
        heard.push_back("tree " + std::to_string(parts.count) + (showScale ? " scale" : ""));
    }
    void HistoryChanged(bool canUndo, bool canRedo) override {
        heard.push_back(std::string(canUndo ? "undo" : "no undo") + (canRedo ? ", redo" : ""));
    }
    void StoreMaterialSettings() override { heard.push_back("store materials"); }
    void MaterialListChanged() override { heard.push_back("materials"); }
    std::vector<std::string> heard;
};

class PartPanelCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        framework::ProcessLog().Discard();
        framework::SetNoticeHandler([this](std::string_view text) { notices.emplace_back(text); });
        session->SetPanelObserver(&panels);
    }
    void TearDown() override {
        framework::SetNoticeHandler({});
        framework::ProcessLog().SetPath("");
    }
    // Runs the command; the dialog answers `path` (none = cancelled) and is recorded.
    bool Run(PartPanelCommand command, std::optional<std::string> path = std::nullopt) {
        return app::RunPartPanelCommand(*session, command, [&](const app::FileRequest& request) {
            panels.heard.push_back(std::string(request.save ? "save " : "open ") +
                                   std::string(request.extension));
            return path;
        });
    }

    RecordingPanels panels;
    std::vector<std::string> notices;
    std::unique_ptr<app::Session> session = std::make_unique<app::Session>();
};

TEST_F(PartPanelCommandsTest, OpenSaveAndCloseTellThePanelsInOrder) {
    EXPECT_TRUE(Run(PartPanelCommand::kOpenPartFile));  // cancelled
    EXPECT_EQ(panels.heard, (std::vector<std::string>{"store materials", "open pwp"}));
    panels.heard.clear();

    session->editor.SelectedPart = 3;
    ASSERT_TRUE(Run(PartPanelCommand::kOpenPartFile, kRobot));
    // An open starts a new history.
    EXPECT_EQ(panels.heard, (std::vector<std::string>{"store materials", "open pwp", "no undo",
                                                      "tree 12 scale", "materials"}));
    EXPECT_EQ(session->editor.SelectedPart, model::kNoPart);

    const fs::path saved = fs::temp_directory_path() / ("panel_" + std::to_string(::getpid()));
    ASSERT_TRUE(Run(PartPanelCommand::kSavePartFile, saved.string()));
    EXPECT_TRUE(fs::exists(saved));
    fs::remove(saved);
    ASSERT_TRUE(Run(PartPanelCommand::kSavePartFile, (saved / "no" / "folder.pwp").string()));
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0], app::kPartFileWrittenMessage);
    EXPECT_NE(notices[1], app::kPartFileWrittenMessage);  // the writer's own failure

    // Close empties both lists: a step to redo is forgotten too.
    session->editor.SelectedPart = 0;
    session->model.scene.node[0].SetLocalPosition({1, 2, 3});
    ASSERT_TRUE(Run(PartPanelCommand::kMirrorPosition));
    ASSERT_TRUE(Run(PartPanelCommand::kUndo));
    ASSERT_TRUE(session->model.history.CanRedo());
    panels.heard.clear();
    ASSERT_TRUE(Run(PartPanelCommand::kClosePartFile));
    EXPECT_EQ(panels.heard,
              (std::vector<std::string>{"store materials", "no undo", "tree 0", "materials"}));
}

TEST_F(PartPanelCommandsTest, CommandsRunOnlyWhereTheirConditionHolds) {
    // Empty table: only open, close, add (the root), Undo and Redo run.
    for (PartPanelCommand command : app::kPartPanelCommands) {
        const bool runs = command == PartPanelCommand::kOpenPartFile ||
                          command == PartPanelCommand::kClosePartFile ||
                          command == PartPanelCommand::kAddChildPart ||
                          command == PartPanelCommand::kUndo || command == PartPanelCommand::kRedo;
        EXPECT_EQ(Run(command), runs) << static_cast<int>(command);
    }
    ASSERT_TRUE(Run(PartPanelCommand::kAddChildPart, kCube));
    ASSERT_EQ(session->model.parts.count, 1);
    EXPECT_EQ(session->editor.SelectedPart, 0) << "the added root is selected";
    session->editor.SelectedPart = model::kNoPart;
    // A part but no selection: no second root, no single-part command.
    EXPECT_FALSE(Run(PartPanelCommand::kAddChildPart, kCube));
    EXPECT_FALSE(Run(PartPanelCommand::kMirrorPosition));
    EXPECT_FALSE(Run(PartPanelCommand::kDeletePart));
    EXPECT_TRUE(Run(PartPanelCommand::kStoreDefaultOrientation));
    EXPECT_EQ(session->model.parts.count, 1);

    session->editor.SelectedPart = 0;
    session->model.scene.node[0].SetLocalPosition({1, 2, 3});
    ASSERT_TRUE(Run(PartPanelCommand::kMirrorPosition));
    EXPECT_EQ(session->model.scene.node[0].GetPosition(), (gfx::Vec3{-1, 2, 3}));
}

TEST(PartPanelMenuState, FollowsSelectionCountAndUndo) {
    using C = PartPanelCommand;
    const std::set<C> selection = {
        C::kCopyOrientation,  C::kPasteOrientation, C::kMirrorOrientation,
        C::kClearOrientation, C::kCopyPosition,     C::kPastePosition,
        C::kMirrorPosition,   C::kClearPosition,    C::kDeletePart};
    const std::set<C> model = {C::kSavePartFile,
                               C::kClosePartFile,
                               C::kFetchDefaultOrientation,
                               C::kStoreDefaultOrientation,
                               C::kFetchDefaultPosition,
                               C::kStoreDefaultPosition,
                               C::kStoreDefaultPose};
    const auto join = [](std::set<C> a, const std::set<C>& b) {
        a.insert(b.begin(), b.end());
        return a;
    };
    struct Case {
        model::PartIndex selected;
        int count;
        bool canUndo;
        bool canRedo;
        std::set<C> enabled;
    };
    const Case cases[] = {
        {-1, 0, false, false, {C::kOpenPartFile, C::kAddChildPart}},
        {-1, 0, true, false, {C::kOpenPartFile, C::kAddChildPart, C::kUndo}},
        {-1, 0, false, true, {C::kOpenPartFile, C::kAddChildPart, C::kRedo}},
        {-1, 3, false, false, join(model, {C::kOpenPartFile})},
        {1, 3, false, false, join(join(model, selection), {C::kOpenPartFile, C::kAddChildPart})},
        {0, 1, true, true,
         join(join(model, selection), {C::kOpenPartFile, C::kAddChildPart, C::kUndo, C::kRedo})},
    };
    for (const Case& c : cases) {
        const app::PartMenuState state = app::MenuState(c.selected, c.count, c.canUndo, c.canRedo);
        for (C command : app::kPartPanelCommands) {
            EXPECT_EQ(state.Enabled(command), c.enabled.contains(command))
                << static_cast<int>(command) << " with s = " << c.selected
                << ", count = " << c.count;
        }
    }
    EXPECT_EQ(app::PartPanelCommandFromId(40024), C::kClearPosition);
    EXPECT_EQ(app::PartPanelCommandFromId(40013), std::nullopt);
}

TEST(PartPanelScaleBox, FilterKeepsDigitsAndTheFirstPoint) {
    struct Case {
        const char* typed;
        int selectionEnd;
        const char* kept;
        bool dropped;
        int caret;
    };
    const Case cases[] = {
        {"1.5a", 4, "1.5", true, 3},     {"-2", 1, "2", true, 0}, {"1.2.3", 4, "1.23", true, 3},
        {"12.50", 5, "12.50", false, 4}, {"", 0, "", false, 0},   {"x", 0, "", true, 0},
    };
    for (const Case& c : cases) {
        const app::ScaleBoxText result = app::FilterScaleText(c.typed, c.selectionEnd);
        EXPECT_EQ(result.text, c.kept) << c.typed;
        EXPECT_EQ(result.dropped, c.dropped) << c.typed;
        if (c.dropped) {
            EXPECT_EQ(result.caret, c.caret) << c.typed;
        }
    }
}

TEST(PartPanelScaleBox, OnlyANumberAboveZeroBecomesTheScale) {
    auto session = std::make_unique<app::Session>();
    model::PartTable& parts = session->model.parts;
    editing::PartScene& partScene = session->model.scene;
    parts.scale = 2.0f;
    parts.count = 1;
    partScene.node[0].SetScale(2.0f);
    for (const char* text : {"", "0", "0.000", ".", "-"}) {
        app::ScaleInput(*session, text, 1);
        EXPECT_EQ(parts.scale, 2.0f) << text;
        EXPECT_EQ(partScene.node[0].scale, 2.0f) << text;
    }
    app::ScaleInput(*session, "0.5x", 4);
    EXPECT_EQ(parts.scale, 0.5f);
    EXPECT_FLOAT_EQ(partScene.node[0].scale, 0.5f);
    parts.count = 0;  // without parts only the table's scale changes
    app::ScaleInput(*session, "3.", 2);
    EXPECT_EQ(parts.scale, 3.0f);
    EXPECT_FLOAT_EQ(partScene.node[0].scale, 0.5f);
}

TEST(PartPanelScaleBox, AScaleThePartFileCannotHoldIsRefusedWhereItIsTyped) {
    auto session = std::make_unique<app::Session>();
    model::PartTable& parts = session->model.parts;
    parts.scale = 2.0f;
    std::vector<std::string> notices;
    framework::SetNoticeHandler([&notices](std::string_view text) { notices.emplace_back(text); });
    const app::ScaleBoxText refused = app::ScaleInput(*session, "0.0000001", 9);
    EXPECT_TRUE(refused.refused);
    EXPECT_EQ(parts.scale, 2.0f);
    EXPECT_EQ(notices, std::vector<std::string>{std::string(app::kScaleTooSmallMessage)});
    // The smallest the file holds is taken, without a word.
    const app::ScaleBoxText taken = app::ScaleInput(*session, "0.000001", 8);
    framework::SetNoticeHandler({});
    EXPECT_FALSE(taken.refused);
    EXPECT_EQ(parts.scale, 0.000001f);
    EXPECT_EQ(notices.size(), 1u);
}

TEST(PartPanelScaleBox, ScaleTextDropsTrailingZerosThenThePoint) {
    const std::pair<float, const char*> cases[] = {
        {1.0f, "1"},   {0.25f, "0.25"},     {2.5f, "2.5"},     {100.0f, "100"},
        {0.1f, "0.1"}, {1234.5f, "1234.5"}, {0.0000001f, "0"}, {0.123456f, "0.123456"},
    };
    for (const auto& [scale, text] : cases) EXPECT_EQ(app::ScaleText(scale), text) << scale;
}

// Where each dialog starts: the document's folder, else the folder last used for its kind, else
// (meshes) beside the part file, else the working folder.
TEST(FileDialogStart, TheDocumentsFolderThenTheLastUsedThenBesideTheModel) {
    struct Case {
        const char* what;
        std::string model, animation, lastUsed;
        std::string part, anim, mesh;  // the start folders of the three kinds
    };
    const Case cases[] = {
        {"nothing open, nothing used", "", "", "", "", "", ""},
        {"nothing open", "", "", "/last/", "/last/", "/last/", "/last/"},
        {"a model", "/m/robot.pwp", "", "/last/", "/m/", "/m/", "/last/"},
        {"a model, no mesh chosen yet", "/m/robot.pwp", "", "", "/m/", "/m/", "/m/"},
        {"an animation elsewhere", "/m/robot.pwp", "/a/walk.pwa", "", "/m/", "/a/", "/m/"},
        {"a relative model path", "samples/robot.pwp", "", "/last/", "samples/", "samples/",
         "/last/"},
    };
    for (const Case& c : cases) {
        app::Session session;
        session.documents.modelPath = c.model;
        session.documents.animationPath = c.animation;
        EXPECT_EQ(app::DialogStartFolder(app::PartFileRequest(session, false), c.lastUsed), c.part)
            << c.what;
        EXPECT_EQ(app::DialogStartFolder(app::AnimationFileRequest(session, false), c.lastUsed),
                  c.anim)
            << c.what;
        EXPECT_EQ(app::DialogStartFolder(app::MeshFileRequest(session), c.lastUsed), c.mesh)
            << c.what;
    }
    // A save starts from the document's own file.
    app::Session session;
    session.documents.modelPath = "/m/robot.pwp";
    EXPECT_EQ(app::PartFileRequest(session, true).startPath, "/m/robot.pwp");
    EXPECT_EQ(app::PartFileRequest(session, false).startPath, "");
}

// A save with the view's pose other than the defaults and no key in use asks first; the answer
// stores the pose (one step), saves as is, or saves nothing.
TEST_F(PartPanelCommandsTest, SavingAPoseThatIsNotTheDefaultOneAsksFirst) {
    const fs::path saved = fs::temp_directory_path() / ("pose_" + std::to_string(::getpid()));
    const struct Case {
        const char* what;
        bool moved, keyInUse;
        framework::Answer answer;
        bool asked, written, stored;
    } cases[] = {
        {"the default pose", false, false, framework::Answer::kCancel, false, true, false},
        {"a key's pose", true, true, framework::Answer::kCancel, false, true, false},
        {"yes", true, false, framework::Answer::kYes, true, true, true},
        {"no", true, false, framework::Answer::kNo, true, true, false},
        {"cancel", true, false, framework::Answer::kCancel, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Run(PartPanelCommand::kOpenPartFile, kRobot));
        session->model.animation.frameCount[0] = c.keyInUse ? 10 : 0;
        // The same rotation with the opposite sign is no difference.
        const gfx::Quat q = session->model.parts.defaultOrientation[1];
        session->model.scene.node[1].SetOrientation({-q.x, -q.y, -q.z, -q.w});
        if (c.moved) session->model.scene.node[1].SetLocalPosition({0.5f, 0.25f, 0.0f});
        bool asked = false;
        framework::SetQuestionHandler([&](std::string_view question) {
            asked = question == app::kStorePoseQuestion;
            return c.answer;
        });
        panels.heard.clear();
        fs::remove(saved);
        ASSERT_TRUE(Run(PartPanelCommand::kSavePartFile, saved.string()));
        framework::SetQuestionHandler({});
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(fs::exists(saved), c.written);
        EXPECT_EQ(session->model.parts.defaultPosition[1] == (gfx::Vec3{0.5f, 0.25f, 0.0f}),
                  c.stored);
        EXPECT_EQ(session->model.history.undoSize(), c.stored ? 1 : 0);
    }
    fs::remove(saved);
}

}  // namespace
