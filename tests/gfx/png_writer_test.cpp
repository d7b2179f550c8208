#include "gfx/image/png_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace {

const std::filesystem::path kPath = std::filesystem::temp_directory_path() /
                                    ("posewrighter_png_" + std::to_string(::getpid()) + ".png");

TEST(PngWriter, WrittenPixelsDecodeBackExactlyWithOpaqueAlpha) {
    gfx::Image image;
    image.width = 3;
    image.height = 2;
    // Distinct channels per texel so that a swapped channel or row shows; the alpha given is
    // dropped.
    image.texels = {0xFF102030, 0x00FF0000, 0x8000FF00, 0xFF0000FF, 0xFFFFFFFF, 0x12000000};
    ASSERT_TRUE(gfx::WritePngFile(kPath.string(), image));
    const auto decoded = gfx::LoadImageFile(kPath.string());
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded->width, 3u);
    EXPECT_EQ(decoded->height, 2u);
    EXPECT_EQ(decoded->texels, (std::vector<std::uint32_t>{0xFF102030, 0xFFFF0000, 0xFF00FF00,
                                                           0xFF0000FF, 0xFFFFFFFF, 0xFF000000}));
    std::filesystem::remove(kPath);
}

TEST(PngWriter, RefusesImagesThatAreEmptyOrInconsistentAndUnwritablePaths) {
    gfx::Image empty;
    EXPECT_FALSE(gfx::WritePngFile(kPath.string(), empty));
    gfx::Image shortOfTexels;
    shortOfTexels.width = 4;
    shortOfTexels.height = 4;
    shortOfTexels.texels.resize(15);
    EXPECT_FALSE(gfx::WritePngFile(kPath.string(), shortOfTexels));
    EXPECT_FALSE(std::filesystem::exists(kPath));

    gfx::Image pixel;
    pixel.width = pixel.height = 1;
    pixel.texels = {0xFF000000};
    const auto status = gfx::WritePngFile("/nonexistent-folder/out.png", pixel);
    ASSERT_FALSE(status);
    EXPECT_NE(status.error().find("/nonexistent-folder/out.png"), std::string::npos);
}

}  // namespace
