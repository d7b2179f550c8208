// Structural edits of the part table: insertion and deletion order, keys and poses moving
// with their parts, limits.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "editing/key_poses.h"
#include "editing/model.h"
#include "framework/texture_cache.h"
#include "gfx/math/math.h"
#include "tests/editing/fake_host.h"

namespace editing {
namespace {

using model::kMaxKeys;
using model::kMaxParts;
using model::kNoPart;
using model::PartIndex;
using model::PartTable;

namespace fs = std::filesystem;

class ModelEditsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("model_edits_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        for (const char* name : {"A.x", "B.x", "C.x", "D.x", "new.x"}) {
            fs::copy_file(std::string(POSEWRIGHTER_TEST_DATA) + "/model/cube.x", dir_ / name,
                          fs::copy_options::overwrite_existing);
        }
        model_.ResetRebuildPose();
        model_.animation.ClearAnimation();
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string PathOf(const std::string& name) const { return dir_.string() + "/" + name; }

    // Adds a child of `parentIndex` (ignored for the root).
    void Add(const char* name, PartIndex parentIndex) {
        host_.selected = parentIndex;
        ASSERT_TRUE(model_.AddChildPart(PathOf(name)));
    }

    // A, B (child of A), C (child of B), D (child of A).
    void BuildABCD() {
        Add("A.x", kNoPart);
        Add("B.x", 0);
        Add("C.x", 1);
        Add("D.x", 0);
    }

    void ExpectParts(std::initializer_list<const char*> names, std::initializer_list<int> parents,
                     std::initializer_list<int> levels) {
        ASSERT_EQ(model_.parts.count, static_cast<int>(names.size()));
        int i = 0;
        for (const char* name : names) EXPECT_EQ(model_.parts.Name(i++), name) << i;
        i = 0;
        for (int p : parents) EXPECT_EQ(model_.parts.parent[i++], p) << "parent of " << i;
        i = 0;
        for (int l : levels) EXPECT_EQ(model_.parts.level[i++], l) << "level of " << i;
    }

    fs::path dir_;
    framework::TextureCache textures_;
    testing::FakeHost host_;
    Model model_{textures_, host_};
};

TEST_F(ModelEditsTest, AddingToAnEmptyTableMakesTheRootWhateverIsSelected) {
    host_.selected = 7;
    ASSERT_TRUE(model_.AddChildPart(PathOf("A.x")));
    ExpectParts({"A.x"}, {-1}, {0});
    EXPECT_EQ(model_.parts.Path(0), PathOf("A.x"));
    EXPECT_EQ(host_.selected, 0) << "the new part is selected";
    EXPECT_EQ(host_.treeRebuilds, 1);
    EXPECT_EQ(host_.meshChanges, 1);
    EXPECT_TRUE(model_.scene.mesh[0].IsLoaded());
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(ModelEditsTest, ANewChildGoesAfterItsParentsSubtreeAndLaterPartsMoveUp) {
    BuildABCD();
    ExpectParts({"A.x", "B.x", "C.x", "D.x"}, {-1, 0, 1, 0}, {0, 1, 2, 1});
    Add("new.x", 1);
    ExpectParts({"A.x", "B.x", "C.x", "new.x", "D.x"}, {-1, 0, 1, 1, 0}, {0, 1, 2, 2, 1});
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(model_.scene.node[i].parent, &model_.scene.node[model_.parts.parent[i]]);
    }
}

TEST_F(ModelEditsTest, KeysAndLivePosesMoveWithTheirParts) {
    BuildABCD();
    const gfx::Quat turned = gfx::QuaternionRotationAxis({0, 1, 0}, 0.5f);
    model_.animation.keyPosition[2][3] = {4, 5, 6};
    model_.animation.keyOrientation[2][3] = turned;
    model_.scene.node[3].SetPosition({1, 2, 3});
    model_.parts.defaultPosition[3] = {7, 8, 9};

    Add("new.x", 1);  // D moves from 3 to 4
    EXPECT_EQ(model_.animation.keyPosition[2][4], (gfx::Vec3{4, 5, 6}));
    EXPECT_EQ(model_.animation.keyOrientation[2][4], turned);
    EXPECT_EQ(model_.parts.defaultPosition[4], (gfx::Vec3{7, 8, 9}));
    const gfx::Vec3 live = model_.scene.node[4].GetPosition();
    EXPECT_NEAR(live.x, 1, 1e-6);
    EXPECT_NEAR(live.y, 2, 1e-6);
    EXPECT_NEAR(live.z, 3, 1e-6);
    // The new part starts at identity and the origin, in its keys and its node.
    EXPECT_EQ(model_.animation.keyPosition[2][3], (gfx::Vec3{0, 0, 0}));
    EXPECT_EQ(model_.animation.keyOrientation[2][3], (gfx::Quat{0, 0, 0, 1}));
    EXPECT_EQ(model_.scene.node[3].GetPosition(), (gfx::Vec3{0, 0, 0}));
    FetchKey(model_.animation, 3, model_.scene);
    EXPECT_EQ(model_.scene.node[3].GetPosition(), (gfx::Vec3{0, 0, 0}));
}

TEST_F(ModelEditsTest, DeletingASubtreeRemovesItAndRenumbersLaterParents) {
    BuildABCD();
    Add("new.x", 1);
    model_.animation.keyPosition[0][4] = {1, 1, 1};  // D's key
    host_.selected = 1;                              // B, with C and new below it
    model_.DeletePart();
    ExpectParts({"A.x", "D.x"}, {-1, 0}, {0, 1});
    EXPECT_EQ(model_.animation.keyPosition[0][1], (gfx::Vec3{1, 1, 1}));
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(model_.parts.Path(i), "") << i;
        EXPECT_EQ(model_.animation.keyPosition[0][i], (gfx::Vec3{0, 0, 0})) << i;
    }
    EXPECT_EQ(host_.selected, kNoPart);
}

TEST_F(ModelEditsTest, ParentIndicesAboveTheDeletedSubtreeShrinkByItsSize) {
    // A, B, C (child of B), D (child of A), E (child of D): delete B and C.
    BuildABCD();
    Add("new.x", 3);
    host_.selected = 1;
    model_.DeletePart();
    ExpectParts({"A.x", "D.x", "new.x"}, {-1, 0, 1}, {0, 1, 2});
}

TEST_F(ModelEditsTest, DeletingTheRootResetsScaleButClosingKeepsItAndEmptiesTheHistory) {
    Add("A.x", kNoPart);
    model_.parts.scale = 2.5f;
    model_.BeginEdit();
    model_.scene.node[0].TurnLocalX(1.0f);
    model_.EndEdit();
    ASSERT_TRUE(host_.canUndo);
    model_.ClearParts();
    EXPECT_EQ(model_.parts.count, 0);
    EXPECT_EQ(model_.parts.scale, 2.5f);
    EXPECT_FALSE(model_.history.CanUndo());
    EXPECT_FALSE(host_.canUndo);
    Add("A.x", kNoPart);
    EXPECT_FLOAT_EQ(model_.scene.node[0].CombinedScale(), 2.5f);
    host_.selected = 0;
    model_.DeletePart();
    EXPECT_EQ(model_.parts.count, 0);
    EXPECT_EQ(model_.parts.scale, 1.0f);
}

TEST_F(ModelEditsTest, AMeshThatFailsToLoadIsReportedAndThePartStays) {
    Add("A.x", kNoPart);
    fs::copy_file(std::string(POSEWRIGHTER_TEST_DATA) + "/model/broken.x", dir_ / "broken.x");
    host_.selected = 0;
    EXPECT_TRUE(model_.AddChildPart(PathOf("broken.x")));
    EXPECT_EQ(model_.parts.count, 2);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0], "ファイルの読み込みに失敗しました。\r" + PathOf("broken.x") +
                                     "\runexpected 'not' after this 'is', expected '{' (line 2)");
    EXPECT_FALSE(model_.scene.mesh[1].IsLoaded());
    gfx::Vec3 hit{9, 9, 9};
    EXPECT_FALSE(model_.scene.node[1].RayHit({0, 0, -5}, {0, 0, 1}, hit));
}

TEST_F(ModelEditsTest, PartsAfterAMeshThatFailedKeepTheirPoses) {
    // A, B, D (child of A) posed at (5, 6, 7); a broken child of B moves D from 2 to 3.
    Add("A.x", kNoPart);
    Add("B.x", 0);
    Add("D.x", 0);
    model_.scene.node[2].SetPosition({5, 6, 7});
    fs::copy_file(std::string(POSEWRIGHTER_TEST_DATA) + "/model/broken.x", dir_ / "broken.x");
    Add("broken.x", 1);
    EXPECT_EQ(model_.scene.node[3].parent, &model_.scene.node[0]);
    StoreKey(model_.animation, 1, model_.scene);
    EXPECT_EQ(model_.animation.keyPosition[0][3], (gfx::Vec3{5, 6, 7}));
    host_.selected = 2;
    model_.DeletePart();
    ExpectParts({"A.x", "B.x", "D.x"}, {-1, 0, 0}, {0, 1, 1});
    EXPECT_EQ(model_.scene.node[2].GetPosition(), (gfx::Vec3{5, 6, 7}));
}

TEST_F(ModelEditsTest, PathsThatTheFilesCouldNotHoldAreRefused) {
    Add("A.x", kNoPart);
    host_.selected = 0;
    using namespace std::string_literals;
    for (const std::string& path :
         {PathOf("qu\"ote.x"), PathOf("line\nend.x"), PathOf("carriage\rreturn.x"),
          PathOf("nul\0.x"s), PathOf("folder\"") + "/plain.x"}) {
        EXPECT_FALSE(model_.AddChildPart(path));
        EXPECT_EQ(host_.messages.back(), "ファイル名に使えない文字が含まれています。\r" + path);
    }
    EXPECT_EQ(model_.parts.count, 1);
    EXPECT_EQ(host_.messages.size(), 5u);
}

TEST_F(ModelEditsTest, RefusedAdditionsChangeNothing) {
    Add("A.x", kNoPart);
    const std::string longDir = (dir_ / std::string(250, 'd')).string();
    host_.selected = 0;
    EXPECT_FALSE(model_.AddChildPart(longDir + "/" + std::string(20, 'p') + ".x"));
    EXPECT_FALSE(model_.AddChildPart(PathOf("") + std::string(64, 'n')));
    host_.selected = kNoPart;
    EXPECT_FALSE(model_.AddChildPart(PathOf("B.x")));
    EXPECT_EQ(model_.parts.count, 1);
    ASSERT_EQ(host_.messages.size(), 3u);
    EXPECT_EQ(host_.messages[2], kNoSelectionMessage);

    model_.parts.count = kMaxParts;  // a full table
    host_.selected = 0;
    EXPECT_FALSE(model_.AddChildPart(PathOf("B.x")));
    EXPECT_EQ(host_.messages.back(), kTableFullMessage);
    EXPECT_EQ(model_.parts.count, kMaxParts);
}

TEST_F(ModelEditsTest, NamesOfExactlyTheFieldLimitAreAccepted) {
    const std::string name(63, 'n');
    fs::copy_file(dir_ / "A.x", dir_ / name);
    Add(name.c_str(), kNoPart);
    EXPECT_EQ(model_.parts.Name(0), name);
}

TEST(PartNameTest, TakesTheTextAfterTheLastSlashOrBackslash) {
    EXPECT_EQ(PartNameFromPath("C:\\parts\\models\\arm.x"), "arm.x");
    EXPECT_EQ(PartNameFromPath("/home/u/parts/leg.x"), "leg.x");
    EXPECT_EQ(PartNameFromPath("mixed/dir\\hand.x"), "hand.x");
    EXPECT_EQ(PartNameFromPath("plain.x"), "plain.x");
}

}  // namespace
}  // namespace editing
