// Every limit of the documents at its exact edge, through the writers, the disk and the readers:
// 100 parts in one chain (the deepest tree), 16 keys, 63-byte names, 255-byte paths and the
// longest numbers. One step beyond each is refused by the writer.

#include "model/limits.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

#include "files/animation_file.h"
#include "files/part_file.h"
#include "files_test_util.h"
#include "framework/debug_log.h"

namespace files {
namespace {

using namespace files::testing;

// A text of exactly `size` bytes that differs for each part.
std::string Filled(int part, std::size_t size, char fill) {
    std::string text = std::to_string(part) + "_";
    text.resize(size, fill);
    return text;
}

std::unique_ptr<model::PartTable> FullTable() {
    auto table = std::make_unique<model::PartTable>();
    table->count = model::kMaxParts;
    table->scale = std::numeric_limits<float>::max();
    const float big = -std::numeric_limits<float>::max();
    for (int i = 0; i < model::kMaxParts; ++i) {
        SetName(*table, i, Filled(i, 63, 'n'));
        SetPath(*table, i, Filled(i, 255, 'p'));
        table->parent[i] = static_cast<model::PartIndex>(i - 1);
        table->level[i] = static_cast<std::int16_t>(i);
        table->defaultPosition[i] = {big, big, big};
        table->defaultOrientation[i] = {big, big, big, big};
    }
    return table;
}

std::unique_ptr<model::AnimationSet> FullAnimation() {
    auto animation = std::make_unique<model::AnimationSet>();
    animation->ClearAnimation();
    const float big = -std::numeric_limits<float>::max();
    for (int k = 0; k < model::kMaxKeys; ++k) {
        animation->frameCount[k] = std::numeric_limits<std::int16_t>::max();
        for (int j = 0; j < model::kMaxParts; ++j) {
            animation->keyPosition[k][j] = {big, big, big};
            animation->keyOrientation[k][j] = {big, big, big, big};
        }
    }
    return animation;
}

TEST(DocumentLimitsTest, AFullModelAndAnimationRoundTripThroughTheDisk) {
    ScratchFolder folder;
    const auto table = FullTable();
    const auto animation = FullAnimation();
    const std::string model = (folder / "full.pwp").string();
    const std::string anim = (folder / "full.pwa").string();
    ASSERT_TRUE(WritePartFile(model, *table).ok());
    ASSERT_EQ(WriteAnimationFile(anim, *animation, *table).value(), AnimationWrite::kWritten);

    auto parts = std::make_unique<model::PartTable>();
    ASSERT_TRUE(ReadPartFile(model, *parts).ok());
    ASSERT_EQ(parts->count, model::kMaxParts);
    EXPECT_EQ(parts->scale, table->scale);
    for (int i = 0; i < model::kMaxParts; ++i) {
        EXPECT_EQ(parts->Name(i), table->Name(i)) << i;
        EXPECT_EQ(parts->Path(i), table->Path(i)) << i;
        EXPECT_EQ(parts->parent[i], table->parent[i]) << i;
        EXPECT_EQ(parts->level[i], table->level[i]) << i;
        EXPECT_EQ(parts->defaultPosition[i], table->defaultPosition[i]) << i;
        EXPECT_EQ(parts->defaultOrientation[i], table->defaultOrientation[i]) << i;
    }
    auto keys = std::make_unique<model::AnimationSet>();
    ASSERT_TRUE(ReadAnimationFile(anim, parts->count, *keys).ok());
    EXPECT_EQ(keys->KeysInUse(), model::kMaxKeys);
    EXPECT_EQ(keys->frameCount, animation->frameCount);
    EXPECT_EQ(keys->keyPosition, animation->keyPosition);
    EXPECT_EQ(keys->keyOrientation, animation->keyOrientation);

    // Written again from what was read: the same bytes.
    EXPECT_EQ(FormatPartFile(*parts).value(), ReadBytes(model));
    EXPECT_EQ(FormatAnimationFile(*keys, *parts).value(), ReadBytes(anim));
}

TEST(DocumentLimitsTest, OneStepBeyondEachLimitIsRefusedByTheWriter) {
    framework::ProcessLog().Discard();
    const auto refuses = [](const model::PartTable& table) { return !FormatPartFile(table).ok(); };
    auto table = FullTable();
    EXPECT_FALSE(refuses(*table));
    table->count = model::kMaxParts + 1;
    EXPECT_TRUE(refuses(*table)) << "101 parts";
    table = FullTable();
    table->name[5].fill('n');  // 64 bytes, no room for the terminator
    EXPECT_TRUE(refuses(*table)) << "64-byte name";
    table = FullTable();
    table->path[5].fill('p');
    EXPECT_TRUE(refuses(*table)) << "256-byte path";
    framework::ProcessLog().SetPath("");
}

}  // namespace
}  // namespace files
