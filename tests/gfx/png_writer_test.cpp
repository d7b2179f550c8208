#include "gfx/image/png_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <span>
#include <vector>

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

gfx::Image Decoded(const std::vector<std::uint8_t>& png) {
    const auto decoded = gfx::DecodeImage(std::as_bytes(std::span(png)));
    EXPECT_TRUE(decoded) << decoded.error();
    return decoded ? *decoded : gfx::Image{};
}

TEST(PngWriter, InMemoryRgbaKeepsAlphaAndRgbMakesItOpaque) {
    gfx::Image image;
    image.width = 2;
    image.height = 3;
    image.texels = {0x00112233, 0x80FF0000, 0xFF00FF00, 0x010000FF, 0x7F808080, 0xFFFFFFFF};
    const auto rgba = gfx::EncodePng(image, gfx::PngChannels::kRgba);
    ASSERT_TRUE(rgba) << rgba.error();
    const gfx::Image withAlpha = Decoded(*rgba);
    EXPECT_EQ(withAlpha.width, 2u);
    EXPECT_EQ(withAlpha.height, 3u);
    EXPECT_EQ(withAlpha.texels, image.texels);

    const auto rgb = gfx::EncodePng(image, gfx::PngChannels::kRgb);
    ASSERT_TRUE(rgb) << rgb.error();
    EXPECT_LT(rgb->size(), rgba->size());
    std::vector<std::uint32_t> opaque = image.texels;
    for (std::uint32_t& texel : opaque) texel |= 0xFF000000;
    EXPECT_EQ(Decoded(*rgb).texels, opaque);
}

TEST(PngWriter, InMemoryRefusesEmptyOversizedAndInconsistentImages) {
    gfx::Image wide;
    wide.width = gfx::kMaxImageDimension + 1;
    wide.height = 1;
    wide.texels.resize(wide.width);
    gfx::Image noRows;
    noRows.width = 4;
    gfx::Image tooMany;
    tooMany.width = tooMany.height = 2;
    tooMany.texels.resize(5);
    for (const gfx::Image& image : {gfx::Image{}, wide, noRows, tooMany}) {
        for (const auto channels : {gfx::PngChannels::kRgb, gfx::PngChannels::kRgba}) {
            const auto encoded = gfx::EncodePng(image, channels);
            EXPECT_FALSE(encoded) << image.width << " x " << image.height;
        }
    }
}

}  // namespace
