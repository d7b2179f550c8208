#include "framework/texture_cache.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/framework/log_capture.h"

namespace framework {
namespace {

using testing_support::LogCapture;

const std::string kDataDir = std::string(POSEWRIGHTER_TEST_DATA) + "/scene/";
const std::string kChecker = kDataDir + "checker.png";
const std::string kCheckerUpper = kDataDir + "CHECKER.png";

// The texels make_fixtures.py writes into checker.png, top row first.
const std::vector<std::uint32_t> kCheckerTexels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};

TEST(TextureCacheTest, SecondAcquisitionSharesTheTextureWithoutLoadingAgain) {
    LogCapture log;
    TextureCache cache;
    Texture* first = cache.AcquireTexture(false, kChecker, 0, 1);
    Texture* second = cache.AcquireTexture(false, kChecker, 0, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_EQ(cache.UseCount(kChecker), 2);
    EXPECT_EQ(log.Text(), "load(" + kChecker + ") ... ok.\n");

    ASSERT_EQ(first->image.levels.size(), 1u);
    EXPECT_EQ(first->image.levels[0].width, 2u);
    EXPECT_EQ(first->image.levels[0].texels, kCheckerTexels);

    cache.ReleaseTexture(first);
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_EQ(log.Text(), "load(" + kChecker + ") ... ok.\n");
    cache.ReleaseTexture(second);
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(cache.UseCount(kChecker), 0);
    EXPECT_EQ(log.Text(), "load(" + kChecker + ") ... ok.\nrelease(" + kChecker + ")\n");
}

TEST(TextureCacheTest, NamesDifferingOnlyInLetterCaseAreSeparateTextures) {
    LogCapture log;
    TextureCache cache;
    Texture* lower = cache.AcquireTexture(false, kChecker, 0, 1);
    Texture* upper = cache.AcquireTexture(false, kCheckerUpper, 0, 1);
    ASSERT_NE(lower, nullptr);
    ASSERT_NE(upper, nullptr);
    EXPECT_NE(lower, upper);
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(upper->image.levels[0].texels, std::vector<std::uint32_t>{0xFF102030});
    EXPECT_EQ(log.Text(), "load(" + kChecker + ") ... ok.\nload(" + kCheckerUpper + ") ... ok.\n");
    cache.ReleaseTexture(upper);
    cache.ReleaseTexture(lower);
}

TEST(TextureCacheTest, ColourKeyAndMipLevelsReachTheLoader) {
    TextureCache cache;
    // The blue texel becomes transparent black; a 2 x 2 image has a 2-level full chain.
    Texture* keyed = cache.AcquireTexture(false, kChecker, 0xFF0000FF, 0);
    ASSERT_NE(keyed, nullptr);
    ASSERT_EQ(keyed->image.levels.size(), 2u);
    EXPECT_EQ(keyed->image.levels[0].texels,
              (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0, 0xFFFFFFFF}));
    cache.ReleaseTexture(keyed);
}

TEST(TextureCacheTest, FailedLoadAddsNothingAndIsRetriedAtTheNextRequest) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("posewrighter_texture_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string name = (dir / "late.png").string();
    std::filesystem::remove(name);

    LogCapture log;
    TextureCache cache;
    EXPECT_EQ(cache.AcquireTexture(false, name, 0, 1), nullptr);
    EXPECT_EQ(cache.size(), 0u);
    const std::string failed =
        "load(" + name + ") ... failed. " + name + ": cannot open: No such file or directory\n";
    EXPECT_EQ(log.Text(), failed);

    std::filesystem::copy_file(kChecker, name);
    Texture* texture = cache.AcquireTexture(false, name, 0, 1);
    EXPECT_NE(texture, nullptr);
    EXPECT_EQ(log.Text(), failed + "load(" + name + ") ... ok.\n");
    cache.ReleaseTexture(texture);
    std::filesystem::remove_all(dir);
}

TEST(TextureCacheTest, ResourceNamesNeverLoad) {
    LogCapture log;
    TextureCache cache;
    // The name of an existing file, to show the resource flag alone makes it fail.
    EXPECT_EQ(cache.AcquireTexture(true, kChecker, 0, 1), nullptr);
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(log.Text(), "load(" + kChecker + ") ... failed. " + kChecker +
                              ": this program has no embedded resources\n");
}

TEST(TextureCacheTest, ReleasingAnUnknownTextureIsIgnored) {
    LogCapture log;
    TextureCache cache;
    Texture* texture = cache.AcquireTexture(false, kChecker, 0, 1);
    log.Clear();
    Texture stranger;
    cache.ReleaseTexture(&stranger);
    cache.ReleaseTexture(nullptr);
    EXPECT_EQ(cache.UseCount(kChecker), 1);
    EXPECT_EQ(log.Text(), "");
    cache.ReleaseTexture(texture);
}

TEST(TextureCacheTest, EntriesKeepTheirAddressesWhileOthersComeAndGo) {
    TextureCache cache;
    Texture* lower = cache.AcquireTexture(false, kChecker, 0, 1);
    Texture* upper = cache.AcquireTexture(false, kCheckerUpper, 0, 1);
    cache.ReleaseTexture(lower);
    // The remaining entry is still found by its pointer and by its name.
    EXPECT_EQ(cache.AcquireTexture(false, kCheckerUpper, 0, 1), upper);
    EXPECT_EQ(cache.UseCount(kCheckerUpper), 2);
    cache.ReleaseTexture(upper);
    cache.ReleaseTexture(upper);
    EXPECT_EQ(cache.size(), 0u);
}

// A device that records what it was given.
class RecordingUploader : public TextureUploader {
  public:
    std::uint32_t Upload(const gfx::Texture& texture) override {
        uploadedWidths.push_back(texture.levels.at(0).width);
        return nextHandle++;
    }
    void Free(std::uint32_t handle) override { freed.push_back(handle); }

    std::uint32_t nextHandle = 100;
    std::vector<std::uint32_t> uploadedWidths;
    std::vector<std::uint32_t> freed;
};

TEST(TextureCacheTest, UploaderReceivesLoadedTexturesAndFreesThemOnFinalRelease) {
    TextureCache cache;
    Texture* early = cache.AcquireTexture(false, kChecker, 0, 1);
    ASSERT_NE(early, nullptr);
    EXPECT_EQ(early->deviceHandle, 0u);

    RecordingUploader device;
    cache.SetUploader(&device);  // textures already loaded go to the device now
    EXPECT_EQ(early->deviceHandle, 100u);

    Texture* late = cache.AcquireTexture(false, kCheckerUpper, 0, 1);
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->deviceHandle, 101u);
    EXPECT_EQ(device.uploadedWidths, (std::vector<std::uint32_t>{2, 1}));

    // A shared texture is neither uploaded again nor freed before its last release.
    EXPECT_EQ(cache.AcquireTexture(false, kChecker, 0, 1), early);
    cache.ReleaseTexture(early);
    EXPECT_TRUE(device.freed.empty());
    cache.ReleaseTexture(early);
    EXPECT_EQ(device.freed, std::vector<std::uint32_t>{100});

    // Removing the device frees what it still holds; the texels stay in the cache.
    cache.SetUploader(nullptr);
    EXPECT_EQ(device.freed, (std::vector<std::uint32_t>{100, 101}));
    EXPECT_EQ(late->deviceHandle, 0u);
    EXPECT_EQ(device.uploadedWidths.size(), 2u);
    cache.ReleaseTexture(late);
    EXPECT_EQ(device.freed.size(), 2u);
}

TEST(TextureCacheTest, ReplacingTheUploaderMovesTexturesToTheNewDevice) {
    TextureCache cache;
    RecordingUploader first;
    RecordingUploader second;
    second.nextHandle = 500;
    cache.SetUploader(&first);
    Texture* texture = cache.AcquireTexture(false, kChecker, 0, 1);
    cache.SetUploader(&second);
    EXPECT_EQ(first.freed, std::vector<std::uint32_t>{100});
    EXPECT_EQ(texture->deviceHandle, 500u);
    cache.ReleaseTexture(texture);
    EXPECT_EQ(second.freed, std::vector<std::uint32_t>{500});
    EXPECT_EQ(first.freed.size(), 1u);
}

}  // namespace
}  // namespace framework
