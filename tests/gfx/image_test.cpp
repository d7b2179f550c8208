// Image decoding and texture creation. The fixtures in tests/data/images are written by
// tests/data/images/make_fixtures.py; the expected texels below are the tables of that script.

#include "gfx/image/image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "tests/gfx/allocation_tracker.h"

namespace gfx {
namespace {

const std::string kImageDir = std::string(POSEWRIGHTER_TEST_DATA) + "/images/";

std::vector<std::byte> ReadFixture(const std::string& name) {
    std::ifstream in(kImageDir + name, std::ios::binary);
    std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(chars.empty()) << name;
    std::vector<std::byte> bytes(chars.size());
    for (std::size_t i = 0; i < chars.size(); ++i) bytes[i] = std::byte(chars[i]);
    return bytes;
}

Image DecodeFixture(const std::string& name) {
    auto image = DecodeImage(ReadFixture(name));
    EXPECT_TRUE(image.ok()) << name << ": " << (image.ok() ? "" : image.error());
    return image.ok() ? *image : Image{};
}

void PutU32(std::vector<std::byte>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = std::byte((value >> (8 * i)) & 0xFF);
}

void PutU32BigEndian(std::vector<std::byte>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = std::byte((value >> (24 - 8 * i)) & 0xFF);
}

// The 5 x 3 pattern of the fixture script, and the same with a per-column alpha.
const std::vector<std::uint32_t> kPattern = {
    0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000,  //
    0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF, 0xFF808080, 0xFF102030,  //
    0xFF000000, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
};
const std::vector<std::uint32_t> kAlphaPattern = {
    0xFFFF0000, 0x8000FF00, 0x000000FF, 0x40FFFFFF, 0xC0000000,  //
    0xFFFFFF00, 0x8000FFFF, 0x00FF00FF, 0x40808080, 0xC0102030,  //
    0xFF000000, 0x80FFFFFF, 0x00FF0000, 0x4000FF00, 0xC00000FF,
};
// The 10 x 3 two-colour pattern (0 = 0xFF203040, 1 = 0xFFE0C0A0).
std::vector<std::uint32_t> TwoColourPattern() {
    const int bits[3][10] = {{1, 0, 0, 1, 1, 1, 0, 0, 0, 1},
                             {0, 1, 1, 0, 0, 0, 1, 1, 1, 0},
                             {1, 1, 1, 1, 1, 1, 1, 1, 0, 0}};
    std::vector<std::uint32_t> texels;
    for (const auto& row : bits) {
        for (int bit : row) texels.push_back(bit ? 0xFFE0C0A0 : 0xFF203040);
    }
    return texels;
}

struct PatternCase {
    const char* file;
    std::uint32_t width, height;
    std::vector<std::uint32_t> texels;
};

void PrintTo(const PatternCase& c, std::ostream* out) {
    *out << c.file;
}

// "rgb24.bmp" -> "rgb24_bmp": test names may hold only letters, digits and underscores.
std::string FileParamName(const testing::TestParamInfo<PatternCase>& info) {
    std::string name = info.param.file;
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

class ImageDecodesPattern : public testing::TestWithParam<PatternCase> {};

TEST_P(ImageDecodesPattern, TexelsTopRowFirst) {
    const PatternCase& c = GetParam();
    Image image = DecodeFixture(c.file);
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(image.texels, c.texels);
}

const std::vector<std::uint32_t> kPure = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF,
                                          0xFF000000, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};

INSTANTIATE_TEST_SUITE_P(
    Bmp, ImageDecodesPattern,
    testing::Values(PatternCase{"rgb24.bmp", 5, 3, kPattern},
                    PatternCase{"rgb24_topdown.bmp", 5, 3, kPattern},
                    // The unused fourth byte of plain 32-bit texels is not alpha.
                    PatternCase{"rgb32.bmp", 5, 3, kPattern},
                    PatternCase{"argb32_bitfields.bmp", 5, 3, kAlphaPattern},
                    PatternCase{"rgb16.bmp", 4, 2, kPure}, PatternCase{"pal8.bmp", 5, 3, kPattern},
                    PatternCase{"pal8_topdown.bmp", 5, 3, kPattern},
                    PatternCase{"pal4.bmp", 5, 3, kPattern},
                    PatternCase{"pal1.bmp", 10, 3, TwoColourPattern()},
                    PatternCase{"core8.bmp", 5, 3, kPattern}),
    FileParamName);

INSTANTIATE_TEST_SUITE_P(
    Png, ImageDecodesPattern,
    testing::Values(
        PatternCase{"rgb8.png", 5, 3, kPattern}, PatternCase{"rgba8.png", 5, 3, kAlphaPattern},
        PatternCase{"rgba8_interlaced.png", 5, 3, kAlphaPattern},
        // 16-bit channels keep their high byte (the low byte is 0xC0 throughout).
        PatternCase{"rgb16.png", 5, 3, kPattern}, PatternCase{"rgba16.png", 5, 3, kAlphaPattern},
        PatternCase{"pal8.png", 5, 3, kPattern}, PatternCase{"pal4.png", 5, 3, kPattern},
        PatternCase{"pal2.png",
                    4,
                    2,
                    {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF0000FF,
                     0xFF00FF00, 0xFFFF0000}},
        PatternCase{"pal1.png", 10, 3, TwoColourPattern()},
        // Gray levels scale to 8 bits by replication: 2-bit 1 -> 0x55.
        PatternCase{"gray1.png", 2, 1, {0xFF000000, 0xFFFFFFFF}},
        PatternCase{"gray2.png", 4, 1, {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}},
        PatternCase{"gray8.png", 4, 1, {0xFF000000, 0xFF404040, 0xFFA0A0A0, 0xFFFFFFFF}},
        PatternCase{"gray16.png", 4, 1, {0xFF000000, 0xFF404040, 0xFFA0A0A0, 0xFFFFFFFF}},
        PatternCase{"graya8.png", 3, 1, {0xFF101010, 0x80808080, 0x00F0F0F0}},
        PatternCase{"graya16.png", 3, 1, {0xFF101010, 0x80808080, 0x00F0F0F0}}),
    FileParamName);

// tRNS: palette entries 0 (red) and 1 (green) get alpha 0 and 0x80; a gray or RGB tRNS colour
// makes exactly the texels of that colour transparent, compared before 16-bit stripping.
INSTANTIATE_TEST_SUITE_P(
    PngTransparency, ImageDecodesPattern,
    testing::Values(PatternCase{"pal8_trns.png",
                                5,
                                3,
                                {0x00FF0000, 0x8000FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000,
                                 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF, 0xFF808080, 0xFF102030,
                                 0xFF000000, 0xFFFFFFFF, 0x00FF0000, 0x8000FF00, 0xFF0000FF}},
                    PatternCase{
                        "gray8_trns.png", 4, 1, {0xFF000000, 0x00404040, 0xFFA0A0A0, 0x00404040}},
                    PatternCase{"gray16_trns.png", 3, 1, {0x00121212, 0xFF121212, 0xFF565656}},
                    PatternCase{"rgb8_trns.png",
                                5,
                                3,
                                {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000,
                                 0xFFFFFF00, 0xFF00FFFF, 0x00FF00FF, 0xFF808080, 0xFF102030,
                                 0xFF000000, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF}}),
    FileParamName);

// TGA and DDS fixtures: tests/data/images/make_tga_dds.py.
INSTANTIATE_TEST_SUITE_P(
    Tga, ImageDecodesPattern,
    testing::Values(PatternCase{"rgb24.tga", 5, 3, kPattern},  // bottom-up rows
                    PatternCase{"rgba32_rle_topdown.tga", 5, 3, kAlphaPattern},
                    // The top bit of 16-bit texels is not alpha.
                    PatternCase{"rgb16.tga", 4, 2, kPure},
                    PatternCase{
                        "gray8.tga", 4, 1, {0xFF000000, 0xFF404040, 0xFFA0A0A0, 0xFFFFFFFF}},
                    PatternCase{"pal8_rle.tga", 10, 3, TwoColourPattern()}),
    FileParamName);

// DXT blocks of red (c0) and green (c1) give (2 c0 + c1) / 3 = 0xAA5500 and 0x55AA00 as
// indices 2 and 3. DXT1's second block (blue <= white) has three colours and transparent black.
// DXT3 alpha is 4 bits times 17; DXT5 alpha interpolates 255 and 0: indices 2 and 3 give 218
// and 182. Only the first column of each second block is inside the 5 x 3 image.
INSTANTIATE_TEST_SUITE_P(
    Dds, ImageDecodesPattern,
    testing::Values(PatternCase{"dxt1.dds",
                                5,
                                3,
                                {0xFFFF0000, 0xFF00FF00, 0xFFAA5500, 0xFF55AA00, 0x00000000,  //
                                 0xFF00FF00, 0xFFFF0000, 0xFF55AA00, 0xFFAA5500, 0xFF7F7FFF,  //
                                 0xFFFF0000, 0xFFFF0000, 0xFF00FF00, 0xFF00FF00, 0xFF0000FF}},
                    PatternCase{"dxt3.dds",
                                5,
                                3,
                                {0xFFFF0000, 0x8800FF00, 0x00AA5500, 0x4455AA00, 0x00FF0000,  //
                                 0x1100FF00, 0x22FF0000, 0x3355AA00, 0x55AA5500, 0xAA00FF00,  //
                                 0xFFFF0000, 0xFFFF0000, 0x0000FF00, 0x0000FF00, 0xFFFF0000}},
                    PatternCase{"dxt5.dds",
                                5,
                                3,
                                {0xFFFF0000, 0x0000FF00, 0xDAAA5500, 0xB655AA00, 0x00FF0000,  //
                                 0x0000FF00, 0xFFFF0000, 0xB655AA00, 0xDAAA5500, 0xDA00FF00,  //
                                 0xFFFF0000, 0xFFFF0000, 0x0000FF00, 0x0000FF00, 0xFFFF0000}},
                    PatternCase{"a8r8g8b8.dds", 5, 3, kAlphaPattern},
                    PatternCase{"x8r8g8b8.dds", 5, 3,
                                kPattern},  // the unused byte (0) is not alpha
                    PatternCase{"r8g8b8.dds", 5, 3, kPattern},
                    PatternCase{"r5g6b5.dds", 4, 2, kPure},
                    PatternCase{"a1r5g5b5.dds",
                                4,
                                2,
                                {0xFFFF0000, 0x0000FF00, 0xFF0000FF, 0x00FFFFFF, 0xFF000000,
                                 0x00FFFF00, 0xFF00FFFF, 0x00FF00FF}},
                    PatternCase{"l8.dds", 4, 1, {0xFF000000, 0xFF404040, 0xFFA0A0A0, 0xFFFFFFFF}}),
    FileParamName);

TEST(ImageGrayPng, FourBitRampScalesEveryLevel) {
    Image image = DecodeFixture("gray4.png");
    ASSERT_EQ(image.texels.size(), 16u);
    for (std::uint32_t level = 0; level < 16; ++level) {
        std::uint32_t v = level * 0x11;
        EXPECT_EQ(image.texels[level], 0xFF000000 | v << 16 | v << 8 | v) << level;
    }
}

TEST(ImageRunLengthBmp, RunsLiteralsSkipsAndEndOfBitmap) {
    const std::uint32_t k0 = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF,
                        kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF, kMagenta = 0xFFFF00FF,
                        kGrey = 0xFF808080, kSkipped = 0;
    Image rle8 = DecodeFixture("rle8.bmp");
    EXPECT_EQ(rle8.width, 6u);
    EXPECT_EQ(rle8.texels,
              (std::vector<std::uint32_t>{kBlue, kBlue, kSkipped, kSkipped, kYellow, kYellow,  //
                                          kGreen, kBlue, kYellow, k0, k0, k0,                  //
                                          kRed, kRed, kRed, kRed, kRed, kRed}));
    Image rle4 = DecodeFixture("rle4.bmp");
    EXPECT_EQ(rle4.texels,
              (std::vector<std::uint32_t>{kCyan, kCyan, kCyan, kSkipped, kSkipped, kSkipped,  //
                                          kBlue, kYellow, kCyan, kMagenta, kGrey, k0,         //
                                          kRed, kGreen, kRed, kGreen, kRed, kGreen}));
}

// JPEG is lossy: quadrant centres must be near the colours they were made from.
void ExpectNear(std::uint32_t texel, std::uint32_t expected, const std::string& where) {
    EXPECT_EQ(texel >> 24, 0xFFu) << where;
    for (int shift : {16, 8, 0}) {
        int got = static_cast<int>((texel >> shift) & 0xFF);
        int want = static_cast<int>((expected >> shift) & 0xFF);
        EXPECT_LE(std::abs(got - want), 8) << where << " channel shift " << shift;
    }
}

void ExpectQuadrants(const Image& image, const std::uint32_t (&colours)[4],
                     const std::string& name) {
    ASSERT_EQ(image.width, 16u) << name;
    ASSERT_EQ(image.height, 16u) << name;
    const std::uint32_t centres[4][2] = {{4, 4}, {12, 4}, {4, 12}, {12, 12}};
    for (int q = 0; q < 4; ++q) {
        ExpectNear(image.texels[centres[q][1] * 16 + centres[q][0]], colours[q],
                   name + " quadrant " + std::to_string(q));
    }
}

TEST(ImageJpeg, ColourGrayAndProgressive) {
    const std::uint32_t colour[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    ExpectQuadrants(DecodeFixture("rgb.jpg"), colour, "rgb.jpg");
    ExpectQuadrants(DecodeFixture("progressive.jpg"), colour, "progressive.jpg");
    const std::uint32_t gray[4] = {0xFF202020, 0xFF606060, 0xFFA0A0A0, 0xFFE0E0E0};
    Image grayImage = DecodeFixture("gray.jpg");
    ExpectQuadrants(grayImage, gray, "gray.jpg");
    for (std::uint32_t t : grayImage.texels) {
        ASSERT_TRUE(((t >> 16) & 0xFF) == (t & 0xFF) && ((t >> 8) & 0xFF) == (t & 0xFF));
    }
}

TEST(ImageJpeg, CmykIsRefusedWithReason) {
    auto image = DecodeImage(ReadFixture("cmyk.jpg"));
    ASSERT_FALSE(image.ok());
    EXPECT_NE(image.error().find("colour space"), std::string::npos) << image.error();
}

TEST(ImageFormatDetection, DetectedFromContentNotName) {
    EXPECT_EQ(DetectImageFormat(ReadFixture("rgb8.png")), ImageFormat::kPng);
    EXPECT_EQ(DetectImageFormat(ReadFixture("rgb.jpg")), ImageFormat::kJpeg);
    EXPECT_EQ(DetectImageFormat(ReadFixture("pal8.bmp")), ImageFormat::kBmp);
    EXPECT_EQ(DetectImageFormat(ReadFixture("dxt1.dds")), ImageFormat::kDds);
    EXPECT_EQ(DetectImageFormat(ReadFixture("pal8_rle.tga")), ImageFormat::kTga);

    // A PNG saved under a .bmp name still loads as PNG.
    const auto path = std::filesystem::temp_directory_path() / "posewrighter_png_named.bmp";
    std::filesystem::copy_file(kImageDir + "rgb8.png", path,
                               std::filesystem::copy_options::overwrite_existing);
    auto image = LoadImageFile(path.string());
    std::filesystem::remove(path);
    ASSERT_TRUE(image.ok()) << image.error();
    EXPECT_EQ(image->texels, kPattern);
}

TEST(ImageFormatDetection, UnknownEmptyAndMissingFail) {
    const std::string gif = "GIF89a\x01\x00\x01\x00";
    std::vector<std::byte> bytes(gif.size());
    for (std::size_t i = 0; i < gif.size(); ++i) bytes[i] = std::byte(gif[i]);
    auto unknown = DecodeImage(bytes);
    ASSERT_FALSE(unknown.ok());
    EXPECT_NE(unknown.error().find("unrecognised"), std::string::npos);
    EXPECT_FALSE(DecodeImage({}).ok());

    auto missing = LoadImageFile(kImageDir + "no_such_file.png");
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("no_such_file.png"), std::string::npos);
}

// Every proper prefix of a valid file is a truncated file and must be refused (and, under the
// sanitizers, must not read past the data).
TEST(ImageMalformed, EveryTruncationFails) {
    for (const char* name : {"rgb24.bmp",
                             "rgb32.bmp",
                             "argb32_bitfields.bmp",
                             "pal4.bmp",
                             "pal1.bmp",
                             "core8.bmp",
                             "rle8.bmp",
                             "rle4.bmp",
                             "rgb8.png",
                             "pal2.png",
                             "gray16_trns.png",
                             "rgba8_interlaced.png",
                             "rgb.jpg",
                             "progressive.jpg",
                             "gray.jpg",
                             "rgb24.tga",
                             "rgba32_rle_topdown.tga",
                             "pal8_rle.tga",
                             "rgb16.tga",
                             "dxt1.dds",
                             "dxt5.dds",
                             "a8r8g8b8.dds",
                             "r8g8b8.dds"}) {
        const std::vector<std::byte> whole = ReadFixture(name);
        for (std::size_t length = 0; length < whole.size(); ++length) {
            // A copy of exactly `length` bytes, so a read past it is a heap overflow.
            std::vector<std::byte> prefix(whole.begin(),
                                          whole.begin() + static_cast<std::ptrdiff_t>(length));
            auto image = DecodeImage(prefix);
            EXPECT_FALSE(image.ok()) << name << " cut to " << length << " bytes";
            if (!image.ok()) {
                EXPECT_FALSE(image.error().empty());
            }
        }
    }
}

void ExpectBmpError(std::vector<std::byte> bytes, const std::string& part) {
    auto image = DecodeImage(bytes);
    ASSERT_FALSE(image.ok()) << "expected: " << part;
    EXPECT_NE(image.error().find(part), std::string::npos) << image.error();
    EXPECT_EQ(image.error().rfind("BMP: ", 0), 0u) << image.error();
}

TEST(ImageMalformed, BmpHeaderValuesOutOfRange) {
    const std::vector<std::byte> pal8 = ReadFixture("pal8.bmp");
    auto patched = [&](std::size_t at, std::uint32_t value) {
        std::vector<std::byte> bytes = pal8;
        PutU32(bytes, at, value);
        return bytes;
    };
    ExpectBmpError(patched(22, 20000), "limit");  // height
    ExpectBmpError(patched(22, static_cast<std::uint32_t>(-20000)), "limit");
    ExpectBmpError(patched(18, 0), "size");             // width 0
    ExpectBmpError(patched(22, 0x80000000u), "limit");  // most negative height
    ExpectBmpError(patched(14, 20), "header size");     // unknown header
    ExpectBmpError(patched(10, 5000), "offset");        // pixels beyond the file
    ExpectBmpError(patched(30, 4), "compression");      // embedded JPEG
    ExpectBmpError(patched(28, 7), "bit depth");        // also sets compression 0
}

TEST(ImageMalformed, BmpIndexOutsidePalette) {
    // pal8.bmp declares 10 colours; its first pixel byte follows the 40-byte palette.
    std::vector<std::byte> bytes = ReadFixture("pal8.bmp");
    const std::size_t pixels = 14 + 40 + 10 * 4;
    bytes[pixels] = std::byte{200};
    ExpectBmpError(bytes, "palette");

    std::vector<std::byte> rle = ReadFixture("rle8.bmp");  // first run: six of index 1
    rle[14 + 40 + 8 * 4 + 1] = std::byte{8};               // one past its 8 colours
    ExpectBmpError(rle, "palette");
}

// Rewrites a PNG chunk's CRC after its contents were patched.
void FixChunkCrc(std::vector<std::byte>& png, std::size_t chunkStart, std::size_t dataLength) {
    const auto* body = reinterpret_cast<const Bytef*>(png.data() + chunkStart + 4);
    PutU32BigEndian(png, chunkStart + 8 + dataLength,
                    static_cast<std::uint32_t>(crc32(0, body, static_cast<uInt>(4 + dataLength))));
}

TEST(ImageMalformed, PngOversizeAndCorruptData) {
    const std::vector<std::byte> rgb8 = ReadFixture("rgb8.png");
    std::vector<std::byte> huge = rgb8;
    PutU32BigEndian(huge, 16, 20000);  // IHDR width
    FixChunkCrc(huge, 8, 13);
    auto hugeImage = DecodeImage(huge);
    ASSERT_FALSE(hugeImage.ok());
    EXPECT_EQ(hugeImage.error().rfind("PNG: ", 0), 0u) << hugeImage.error();

    // Within the limits, but far more pixels than 90 bytes of deflate data can describe.
    std::vector<std::byte> claimsTooMuch = rgb8;
    PutU32BigEndian(claimsTooMuch, 16, 16000);
    PutU32BigEndian(claimsTooMuch, 20, 16000);
    FixChunkCrc(claimsTooMuch, 8, 13);
    auto tooMuch = DecodeImage(claimsTooMuch);
    ASSERT_FALSE(tooMuch.ok());
    EXPECT_NE(tooMuch.error().find("cannot hold"), std::string::npos) << tooMuch.error();

    // The IDAT chunk follows the signature (8 bytes) and IHDR (25 bytes); damage its CRC.
    std::vector<std::byte> flipped = rgb8;
    const std::size_t idat = 8 + 25;
    const std::size_t idatLength = std::to_integer<std::size_t>(flipped[idat + 2]) << 8 |
                                   std::to_integer<std::size_t>(flipped[idat + 3]);
    flipped[idat + 8 + idatLength] ^= std::byte{0x55};
    auto flippedImage = DecodeImage(flipped);
    ASSERT_FALSE(flippedImage.ok());
    EXPECT_NE(flippedImage.error().find("CRC"), std::string::npos) << flippedImage.error();
}

TEST(ImageMalformed, JpegOversize) {
    std::vector<std::byte> jpeg = ReadFixture("rgb.jpg");
    // The frame header: FF C0, length (2), precision (1), height (2), width (2).
    std::size_t sof = 0;
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == std::byte{0xFF} && jpeg[i + 1] == std::byte{0xC0}) {
            sof = i;
            break;
        }
    }
    ASSERT_NE(sof, 0u);
    jpeg[sof + 7] = std::byte{0x50};  // width 0x5010 = 20496
    auto image = DecodeImage(jpeg);
    ASSERT_FALSE(image.ok());
    EXPECT_NE(image.error().find("out of range"), std::string::npos) << image.error();
}

std::vector<std::byte> Bytes(std::initializer_list<int> values) {
    std::vector<std::byte> bytes;
    for (int v : values) bytes.push_back(std::byte(v));
    return bytes;
}

// An 18-byte TGA header (no image id, no colour map unless mapLength is given).
std::vector<std::byte> TgaHeader(int type, int width, int height, int bits, int mapFirst = 0,
                                 int mapLength = 0) {
    return Bytes({0, mapLength > 0, type, mapFirst & 0xFF, mapFirst >> 8, mapLength & 0xFF,
                  mapLength >> 8, mapLength > 0 ? 24 : 0, 0, 0, 0, 0, width & 0xFF, width >> 8,
                  height & 0xFF, height >> 8, bits, 0});
}

// A 128-byte DDS header: either a four-character code, or bit count and channel masks.
std::vector<std::byte> DdsHeader(std::uint32_t width, std::uint32_t height, const char* fourCc,
                                 std::uint32_t bits = 0) {
    std::vector<std::byte> bytes(128);
    const char magic[] = "DDS ";
    for (int i = 0; i < 4; ++i) bytes[i] = std::byte(magic[i]);
    PutU32(bytes, 4, 124);
    PutU32(bytes, 12, height);
    PutU32(bytes, 16, width);
    PutU32(bytes, 76, 32);
    if (fourCc != nullptr) {
        PutU32(bytes, 80, 0x4);
        for (int i = 0; i < 4; ++i) bytes[84 + i] = std::byte(fourCc[i]);
    } else {
        PutU32(bytes, 80, 0x40);
        PutU32(bytes, 88, bits);
        PutU32(bytes, 92, 0xFF0000);
    }
    return bytes;
}

std::vector<std::byte> Append(std::vector<std::byte> bytes, std::size_t count) {
    bytes.resize(bytes.size() + count, std::byte{0x11});
    return bytes;
}

struct MalformedCase {
    const char* what;
    std::vector<std::byte> bytes;
    std::string error;
};

TEST(ImageMalformed, TgaAndDdsHeadersAndDataThatDoNotAddUp) {
    std::vector<std::byte> badHeaderSize = DdsHeader(4, 4, "DXT1");
    PutU32(badHeaderSize, 4, 100);
    const MalformedCase cases[] = {
        {"TGA side over the limit", TgaHeader(2, 20000, 1, 24),
         "TGA: 20000 x 1 exceeds the 16384 x 16384 limit"},
        {"TGA pixels missing", Append(TgaHeader(2, 4, 4, 32), 60),
         "TGA: truncated pixel data (64 bytes needed, 60 present)"},
        // A run of 128 and a raw packet of 2 cover 130 of 132 pixels.
        {"TGA runs end early",
         [] {
             auto b = TgaHeader(11, 12, 11, 8);
             for (int v : {0xFF, 7, 0x01, 1, 2}) b.push_back(std::byte(v));
             return b;
         }(),
         "TGA: truncated run-length data"},
        {"TGA colour map missing", Append(TgaHeader(1, 2, 2, 8, 0, 4), 5),
         "TGA: truncated header or colour map"},
        {"TGA map not starting at 0", Append(TgaHeader(1, 2, 2, 8, 3, 4), 16),
         "TGA: colour maps starting at entry 3 are not supported"},
        {"DDS side over the limit", DdsHeader(4, 16385, "DXT1"),
         "DDS: 4 x 16385 exceeds the 16384 x 16384 limit"},
        // 5 x 5 texels take 2 x 2 blocks of 8 bytes.
        {"DDS blocks missing", Append(DdsHeader(5, 5, "DXT1"), 31),
         "DDS: truncated pixel data (32 bytes needed, 31 present)"},
        {"DDS rows missing", Append(DdsHeader(3, 2, nullptr, 24), 17),
         "DDS: truncated pixel data (18 bytes needed, 17 present)"},
        {"DDS premultiplied DXT", Append(DdsHeader(4, 4, "DXT2"), 16),
         "DDS: unsupported compressed format DXT2"},
        {"DDS extended header", Append(DdsHeader(4, 4, "DX10"), 16),
         "DDS: unsupported compressed format DX10"},
        {"DDS 12-bit texels", Append(DdsHeader(4, 4, nullptr, 12), 64),
         "DDS: unsupported bit count 12"},
        {"DDS header size", badHeaderSize, "DDS: malformed header"},
        {"DDS cut in its header",
         std::vector<std::byte>(badHeaderSize.begin(), badHeaderSize.begin() + 100),
         "DDS: file too short for its header"},
    };
    for (const MalformedCase& c : cases) {
        auto image = DecodeImage(c.bytes);
        ASSERT_FALSE(image.ok()) << c.what;
        EXPECT_EQ(image.error(), c.error) << c.what;
    }
}

// Headers claiming 16000 x 16000 texels (1 GiB decoded) over a few bytes of data are refused
// before the decoder allocates for them.
TEST(ImageMalformed, ClaimedSizesTheDataCannotHoldAreRefusedBeforeAllocating) {
    const std::uint32_t side = 16000;
    // BMP: an uncompressed 24-bit image, and a run-length one whose data ends after one run.
    std::vector<std::byte> bmp24 = ReadFixture("rgb24.bmp");
    PutU32(bmp24, 18, side);
    PutU32(bmp24, 22, side);
    std::vector<std::byte> rle8 = ReadFixture("rle8.bmp");
    PutU32(rle8, 18, side);
    PutU32(rle8, 22, side);
    rle8.resize(rle8.size() - 4);  // drops the end-of-bitmap escape and the last line's end
    // PNG: the IHDR of a 5 x 3 file.
    std::vector<std::byte> png = ReadFixture("rgb8.png");
    PutU32BigEndian(png, 16, side);
    PutU32BigEndian(png, 20, side);
    FixChunkCrc(png, 8, 13);
    // JPEG: the frame header's height and width.
    std::vector<std::byte> jpeg = ReadFixture("rgb.jpg");
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == std::byte{0xFF} && jpeg[i + 1] == std::byte{0xC0}) {
            for (std::size_t at : {i + 5, i + 7}) {
                jpeg[at] = std::byte(side >> 8);
                jpeg[at + 1] = std::byte(side & 0xFF);
            }
            break;
        }
    }
    const std::string sizes = " 16000 x 16000 image";
    const MalformedCase cases[] = {
        {"BMP", bmp24,
         "BMP: truncated pixel data (768000000 bytes needed, " + std::to_string(bmp24.size() - 54) +
             " present)"},
        {"RLE8 BMP", rle8, "BMP: truncated run-length data (it ends in row 3 of 16000)"},
        {"PNG", png, "PNG: " + std::to_string(png.size()) + " bytes cannot hold a" + sizes},
        {"JPEG", jpeg, "JPEG: " + std::to_string(jpeg.size()) + " bytes cannot hold a" + sizes},
        {"TGA", Append(TgaHeader(2, side, side, 32), 100),
         "TGA: truncated pixel data (1024000000 bytes needed, 100 present)"},
        {"DDS", Append(DdsHeader(side, side, "DXT5"), 100),
         "DDS: truncated pixel data (256000000 bytes needed, 100 present)"},
    };
    for (const MalformedCase& c : cases) {
        testing_support::LargestAllocation largest;
        auto image = DecodeImage(c.bytes);
        ASSERT_FALSE(image.ok()) << c.what;
        EXPECT_EQ(image.error(), c.error) << c.what;
        EXPECT_LT(largest.bytes(), std::size_t{1} << 20) << c.what;
    }
}

TEST(ImageColourKey, MatchesAll32Bits) {
    Image image = DecodeFixture("rgb24.bmp");
    ApplyColourKey(image, 0x00FF0000);  // red without alpha: no decoded texel has alpha 0
    EXPECT_EQ(image.texels, kPattern);
    ApplyColourKey(image, 0);  // no key
    EXPECT_EQ(image.texels, kPattern);

    auto keyed = CreateTextureFromFileEx(kImageDir + "rgb24.bmp", 0, 0, 1, 0xFF000000);
    ASSERT_TRUE(keyed.ok()) << keyed.error();
    std::vector<std::uint32_t> expected = kPattern;
    expected[4] = expected[10] = 0;  // the two black texels
    EXPECT_EQ(keyed->levels.at(0).texels, expected);
}

TEST(ImageTexture, MipChainLengths) {
    EXPECT_EQ(FullMipChainLength(1, 1), 1u);
    EXPECT_EQ(FullMipChainLength(5, 3), 3u);  // 5x3, 2x1, 1x1
    EXPECT_EQ(FullMipChainLength(256, 256), 9u);
    EXPECT_EQ(FullMipChainLength(16, 4), 5u);  // down to 1x1 along the longer side
    EXPECT_EQ(FullMipChainLength(3, 17), 5u);
}

TEST(ImageTexture, FullChainIsBoxFiltered) {
    auto texture = CreateTextureFromFileEx(kImageDir + "rgb24.bmp");
    ASSERT_TRUE(texture.ok()) << texture.error();
    ASSERT_EQ(texture->levels.size(), 3u);
    EXPECT_EQ(texture->levels[0].texels, kPattern);
    const Image& level1 = texture->levels[1];
    ASSERT_EQ(level1.width, 2u);
    ASSERT_EQ(level1.height, 1u);
    // (red + green + yellow + cyan) / 4 and (blue + white + magenta + grey) / 4, rounded; the
    // odd last column and row of level 0 fall outside every 2 x 2 block.
    EXPECT_EQ(level1.texels, (std::vector<std::uint32_t>{0xFF80BF40, 0xFFA060DF}));
    const Image& level2 = texture->levels[2];
    ASSERT_EQ(level2.width, 1u);
    ASSERT_EQ(level2.height, 1u);
    EXPECT_EQ(level2.texels, (std::vector<std::uint32_t>{0xFF909090}));
}

TEST(ImageTexture, RequestedLevelsAreClampedToTheChain) {
    const std::vector<std::byte> bytes = ReadFixture("rgb24.bmp");
    for (auto [requested, expected] :
         {std::pair{1u, 1u}, std::pair{2u, 2u}, std::pair{3u, 3u}, std::pair{10u, 3u}}) {
        auto texture = CreateTextureFromFileInMemoryEx(bytes, 0, 0, requested, 0);
        ASSERT_TRUE(texture.ok()) << texture.error();
        EXPECT_EQ(texture->levels.size(), expected) << requested;
    }
}

TEST(ImageTexture, ColourKeyAppliesBeforeMipmapping) {
    // pal1.bmp's top-left 2 x 2 block holds two texels of each colour; keying one colour out
    // leaves half the block transparent black.
    auto texture = CreateTextureFromFileEx(kImageDir + "pal1.bmp", 0, 0, 2, 0xFF203040);
    ASSERT_TRUE(texture.ok()) << texture.error();
    ASSERT_EQ(texture->levels.size(), 2u);
    EXPECT_EQ(texture->levels[0].texels[1], 0u);
    EXPECT_EQ(texture->levels[1].texels[0], 0x80706050u);
}

TEST(ImageTexture, ExplicitSizePlacesTheImageUnscaled) {
    auto wider = CreateTextureFromFileEx(kImageDir + "rgb24.bmp", 7, 2, 1, 0);
    ASSERT_TRUE(wider.ok()) << wider.error();
    const Image& level = wider->levels.at(0);
    ASSERT_EQ(level.width, 7u);
    ASSERT_EQ(level.height, 2u);
    for (std::uint32_t y = 0; y < 2; ++y) {
        for (std::uint32_t x = 0; x < 7; ++x) {
            const std::uint32_t expected = x < 5 ? kPattern[y * 5 + x] : 0;
            EXPECT_EQ(level.texels[y * 7 + x], expected) << x << "," << y;
        }
    }
    // A non-power-of-two size stays as asked.
    auto odd = CreateTextureFromFileEx(kImageDir + "rgb24.bmp", 0, 5, 0, 0);
    ASSERT_TRUE(odd.ok()) << odd.error();
    EXPECT_EQ(odd->levels[0].width, 5u);
    EXPECT_EQ(odd->levels[0].height, 5u);
    EXPECT_EQ(odd->levels.size(), 3u);

    EXPECT_FALSE(CreateTextureFromFileEx(kImageDir + "rgb24.bmp", 20000, 0, 1, 0).ok());
}

TEST(ImageTexture, HalvingAOneTexelWideColumnAveragesPairs) {
    Image column{1, 4, {0x00000000, 0xFFFFFFFF, 0x40404040, 0x80808080}};
    Image half = HalveImage(column);
    EXPECT_EQ(half.width, 1u);
    EXPECT_EQ(half.height, 2u);
    EXPECT_EQ(half.texels, (std::vector<std::uint32_t>{0x80808080, 0x60606060}));
}

}  // namespace
}  // namespace gfx
