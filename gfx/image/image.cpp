#include "gfx/image/image.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "gfx/base/file_read.h"
#include "gfx/image/image_decoders.h"

namespace gfx {
namespace {

// Larger files cannot hold an image within kMaxImageDimension in any supported format.
constexpr std::size_t kMaxImageFileSize = std::size_t{1} << 31;

bool StartsWith(std::span<const std::byte> bytes, std::span<const unsigned char> signature) {
    if (bytes.size() < signature.size()) return false;
    return std::equal(signature.begin(), signature.end(), bytes.begin(),
                      [](unsigned char s, std::byte b) { return std::byte{s} == b; });
}

Result<std::vector<std::byte>> ReadWholeFile(const std::string& path) {
    std::vector<std::byte> bytes;
    if (auto failure = ReadRegularFile(path, kMaxImageFileSize, BeyondCap::kRefuse, bytes)) {
        if (failure->kind == FileReadFailure::Kind::kTooLarge) {
            return Error{path + ": file too large"};
        }
        return Error{path + ": cannot open: " + failure->reason};
    }
    return bytes;
}

}  // namespace

ImageFormat DetectImageFormat(std::span<const std::byte> bytes) {
    static constexpr std::array<unsigned char, 8> kPng = {0x89, 'P',  'N',  'G',
                                                          '\r', '\n', 0x1A, '\n'};
    static constexpr std::array<unsigned char, 3> kJpeg = {0xFF, 0xD8, 0xFF};
    static constexpr std::array<unsigned char, 2> kBmp = {'B', 'M'};
    static constexpr std::array<unsigned char, 4> kDds = {'D', 'D', 'S', ' '};
    if (StartsWith(bytes, kPng)) return ImageFormat::kPng;
    if (StartsWith(bytes, kJpeg)) return ImageFormat::kJpeg;
    if (StartsWith(bytes, kBmp)) return ImageFormat::kBmp;
    if (StartsWith(bytes, kDds)) return ImageFormat::kDds;
    // Checked last: no other format's signature makes a valid TGA header.
    if (HasTgaHeader(bytes)) return ImageFormat::kTga;
    return ImageFormat::kUnknown;
}

Result<Image> DecodeImage(std::span<const std::byte> bytes) {
    // A claimed size within the limits may still not fit in memory; that is a failure to
    // report, not a reason to end the program.
    try {
        switch (DetectImageFormat(bytes)) {
            case ImageFormat::kBmp:
                return DecodeBmp(bytes);
            case ImageFormat::kPng:
                return DecodePng(bytes);
            case ImageFormat::kJpeg:
                return DecodeJpeg(bytes);
            case ImageFormat::kTga:
                return DecodeTga(bytes);
            case ImageFormat::kDds:
                return DecodeDds(bytes);
            case ImageFormat::kUnknown:
                break;
        }
    } catch (const std::bad_alloc&) {
        return Error{"not enough memory to decode the image"};
    }
    if (bytes.empty()) return Error{"empty image data"};
    return Error{"unrecognised image format (not BMP, PNG, JPEG, TGA or DDS)"};
}

Result<Image> LoadImageFile(const std::string& path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) return Error{bytes.error()};
    auto image = DecodeImage(*bytes);
    if (!image) return Error{path + ": " + image.error()};
    return image;
}

void ApplyColourKey(Image& image, Colour key) {
    if (key == 0) return;
    std::replace(image.texels.begin(), image.texels.end(), key, Colour{0});
}

}  // namespace gfx
