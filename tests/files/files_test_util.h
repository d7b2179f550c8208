#pragma once
// Builders shared by the document file tests: the two-part model of the worked examples, file
// text helpers and a scratch folder.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "model/animation_set.h"
#include "model/part_table.h"

namespace files::testing {

inline constexpr std::string_view kReadFailedText = "ファイルの読み込みに失敗しました。";
inline constexpr std::string_view kWriteFailedText = "ファイルの書き込みに失敗しました。";

// sin 45 degrees as a float; six decimals show it as 0.707107.
inline constexpr float kHalfRoot2 = 0.70710678f;

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string Fixture(std::string_view name) {
    return ReadBytes(std::filesystem::path(POSEWRIGHTER_TEST_DATA) / "files" / name);
}

// Lines with their line ends, so that joining a prefix gives the file cut after that line.
inline std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t take = end == std::string_view::npos ? text.size() : end + 1;
        lines.emplace_back(text.substr(0, take));
        text.remove_prefix(take);
    }
    return lines;
}

inline std::string FirstLines(const std::vector<std::string>& lines, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count && i < lines.size(); ++i) text += lines[i];
    return text;
}

// The text with line `number` (1-based) replaced; the CR LF line end is kept.
inline std::string ReplaceLine(std::string_view text, int number, std::string_view line) {
    auto lines = SplitLines(text);
    lines.at(static_cast<std::size_t>(number - 1)) = std::string(line) + "\r\n";
    return FirstLines(lines, lines.size());
}

inline std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

inline void SetName(model::PartTable& table, int i, std::string_view name) {
    ASSERT_TRUE(model::PartTable::SetField(table.name[i], name));
}
inline void SetPath(model::PartTable& table, int i, std::string_view path) {
    ASSERT_TRUE(model::PartTable::SetField(table.path[i], path));
}

// The model of the worked examples: root body.x and its child arm.x, turned 90 degrees about Y
// and offset along X.
inline std::unique_ptr<model::PartTable> TwoPartTable() {
    auto table = std::make_unique<model::PartTable>();
    table->count = 2;
    table->scale = 1.0f;
    SetName(*table, 0, "body.x");
    SetName(*table, 1, "arm.x");
    SetPath(*table, 0, "C:\\parts\\body.x");
    SetPath(*table, 1, "C:\\parts\\arm.x");
    table->parent[0] = -1;
    table->parent[1] = 0;
    table->level[0] = 0;
    table->level[1] = 1;
    table->defaultPosition[1] = {1.5f, 0.0f, -0.25f};
    table->defaultOrientation[1] = {0.0f, kHalfRoot2, 0.0f, kHalfRoot2};
    return table;
}

// The animation of the worked example: keys 1 and 2 with 10 and 20 frames.
inline std::unique_ptr<model::AnimationSet> TwoKeyAnimation() {
    auto animation = std::make_unique<model::AnimationSet>();
    animation->ClearAnimation();
    animation->frameCount[0] = 10;
    animation->frameCount[1] = 20;
    animation->keyPosition[0][1] = {1.5f, 0.0f, -0.25f};
    animation->keyOrientation[1][1] = {0.0f, kHalfRoot2, 0.0f, kHalfRoot2};
    animation->keyPosition[1][0] = {0.0f, 1.0f, 0.0f};
    animation->keyPosition[1][1] = {1.5f, 0.0f, -0.25f};
    return animation;
}

// A fresh folder under the system's temporary folder, removed with its contents afterwards.
class ScratchFolder {
  public:
    ScratchFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("posewrighter-files-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace files::testing
