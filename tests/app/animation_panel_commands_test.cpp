// The Animation panel's commands without its window: the key and frame count it shows, Get and
// Set, and Load and Save with what they tell the user.

#include "app/commands/animation_panel_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/core/documents.h"
#include "app/core/editor_actions.h"
#include "framework/debug_log.h"
#include "framework/notice.h"

namespace {

namespace fs = std::filesystem;

const std::string kRobot = POSEWRIGHTER_TEST_DATA "/../../samples/robot/robot.pwp";

class AnimationPanelCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        framework::ProcessLog().Discard();
        framework::SetNoticeHandler([this](std::string_view text) { notices.emplace_back(text); });
        ASSERT_TRUE(app::OpenPartFile(session->model, kRobot));
        folder = fs::temp_directory_path() /
                 ("animation_panel_" +
                  std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
    }
    void TearDown() override {
        framework::SetNoticeHandler({});
        framework::ProcessLog().SetPath("");
        fs::remove_all(folder);
    }
    // The dialog answers `path` (none = cancelled) and records what it was asked.
    app::ChooseFile Answer(std::optional<std::string> path) {
        return [this, path](const app::FileRequest& request) {
            requests.push_back(request);
            return path;
        };
    }

    std::unique_ptr<app::Session> session = std::make_unique<app::Session>();
    std::vector<std::string> notices;
    std::vector<app::FileRequest> requests;
    fs::path folder;
};

TEST_F(AnimationPanelCommandsTest, KeysAndFrameCountsStayInTheirRanges) {
    struct Case {
        int key, frames;
        app::ShownKey shown;
    };
    const Case cases[] = {
        {3, 12, {3, 12, "3", "12"}},     {1, 0, {1, 0, "1", "0"}},
        {16, 99, {16, 99, "16", "99"}},  {0, 5, {1, 5, "1", "5"}},
        {17, 100, {16, 99, "16", "99"}}, {2, -4, {2, 0, "2", "0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " " + std::to_string(c.frames));
        EXPECT_EQ(app::SetKeyFrameCount(*session, c.key, c.frames), c.shown);
        EXPECT_EQ(app::KeyToShow(*session, c.key), c.shown);
        EXPECT_EQ(session->model.animation.frameCount[c.shown.keyNumber - 1], c.shown.frameCount);
    }
}

// A typed number out of its range is refused; each frame count taken is one step.
TEST_F(AnimationPanelCommandsTest, TypedKeysAndFrameCountsOutsideTheirRangesAreRefused) {
    const struct {
        const char *key, *frames;
        app::ShownKey shown;
    } cases[] = {{"3", "12", {3, 12, "3", "12"}},
                 {"17", "100", {3, 12, "3", "12"}},
                 {"0", "1.5", {3, 12, "3", "12"}},
                 {" 16", "99 ", {16, 99, "16", "99"}}};
    for (const auto& c : cases) {
        app::TypeKeyNumber(*session, c.key);
        EXPECT_EQ(app::TypeFrameCount(*session, c.frames), c.shown) << c.key << " " << c.frames;
    }
    EXPECT_EQ(session->model.history.undoSize(), 2);
}

TEST_F(AnimationPanelCommandsTest, SetStoresTheLivePoseAndGetBringsItBack) {
    scene::TransformNode& node = session->model.scene.node[1];
    const gfx::Vec3 moved{1.0f, 2.0f, 3.0f};
    node.SetPosition(moved);
    app::StoreAnimationKey(*session, 5);
    node.SetPosition({});
    app::FetchAnimationKey(*session, 5);
    EXPECT_EQ(node.GetPosition(), moved);
    app::FetchAnimationKey(*session, 6);  // never set
    EXPECT_EQ(node.GetPosition(), gfx::Vec3{});
}

TEST_F(AnimationPanelCommandsTest, SaveTellsOfAFileWrittenAndWhyAnEmptyOneIsNot) {
    const std::string path = (folder / "walk.pwa").string();
    // Empty (key 1 has no frames): nothing written, and the user is told why.
    EXPECT_FALSE(app::SaveAnimation(*session, Answer(path)));
    EXPECT_FALSE(fs::exists(path));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], app::kEmptyAnimationMessage);
    notices.clear();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].description, "Posewrighter Animation File");
    EXPECT_EQ(requests[0].extension, "pwa");
    EXPECT_TRUE(requests[0].save);

    app::SetKeyFrameCount(*session, 1, 10);
    EXPECT_FALSE(app::SaveAnimation(*session, Answer(std::nullopt)));
    EXPECT_TRUE(notices.empty());
    EXPECT_TRUE(app::SaveAnimation(*session, Answer(path)));
    EXPECT_TRUE(fs::exists(path));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], app::kAnimationFileWrittenMessage);

    EXPECT_FALSE(app::SaveAnimation(*session, Answer((folder / "no/such/walk.pwa").string())));
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_NE(notices[1], app::kAnimationFileWrittenMessage);  // the writer's own failure
}

// Keys after the first key without frames are neither played nor saved: Set and Save say so.
TEST_F(AnimationPanelCommandsTest, KeysPastTheEndAreNamedWhenSetAndWhenSaved) {
    app::SetKeyFrameCount(*session, 1, 10);
    app::StoreAnimationKey(*session, 1);
    app::StoreAnimationKey(*session, 2);  // the next key: its frames usually come next
    EXPECT_TRUE(notices.empty());
    app::StoreAnimationKey(*session, 4);
    EXPECT_EQ(notices, std::vector<std::string>{
                           "キー2のフレーム数が0のため、アニメーションはその前で終わります。\r"
                           "キー4は再生も保存もされません。"});
    notices.clear();
    EXPECT_TRUE(app::SaveAnimation(*session, Answer((folder / "walk.pwa").string())));
    EXPECT_EQ(notices, std::vector<std::string>{
                           std::string(app::kAnimationFileWrittenMessage) +
                           "\rキー2, 4は保存されませんでした。\r"
                           "キー2のフレーム数が0のため、アニメーションはその前で終わります。"});
}

TEST_F(AnimationPanelCommandsTest, LoadStopsPlaybackAndShowsKeyOneWhateverItRead) {
    const std::string broken = (folder / "broken.pwa").string();
    std::ofstream(broken) << "not an animation\r\n";
    struct Case {
        const char* name;
        std::optional<std::string> path;
        size_t notices;
    };
    const Case cases[] = {{"cancelled", std::nullopt, 0}, {"broken", broken, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        notices.clear();
        app::SetKeyFrameCount(*session, 1, 7);
        app::SetPlaying(*session, true);
        app::SetShownKey(*session, 5);
        const app::ShownKey shown = app::LoadAnimation(*session, Answer(c.path));
        EXPECT_FALSE(session->playing());
        EXPECT_EQ(shown, app::KeyToShow(*session, 1));
        EXPECT_EQ(session->shownKey(), 1);
        EXPECT_EQ(notices.size(), c.notices);
        EXPECT_FALSE(requests.back().save);
    }
    EXPECT_EQ(session->model.animation.frameCount[0], 0);  // the broken file left it empty
}

}  // namespace
