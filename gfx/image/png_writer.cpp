// PNG encoding through libpng. As in the decoder, libpng reports errors by longjmp back to the
// setjmp of the C-style function that called it, which owns nothing with a destructor.

#include "gfx/image/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace gfx {
namespace {

// What libpng's callbacks reach: the bytes written so far and the error it gave.
struct PngOutput {
    std::vector<std::uint8_t>* bytes;
    char message[200];
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* output = static_cast<PngOutput*>(png_get_error_ptr(png));
    std::snprintf(output->message, sizeof output->message, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void OnPngWrite(png_structp png, png_bytep data, png_size_t size) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + size);
}

void OnPngFlush(png_structp) {}

// The rows as packed RGB or RGBA bytes, top row first.
std::vector<png_byte> PackedRows(const Image& image, std::size_t channels) {
    std::vector<png_byte> packed(image.texels.size() * channels);
    for (std::size_t i = 0; i < image.texels.size(); ++i) {
        const Colour texel = image.texels[i];
        png_byte* out = packed.data() + i * channels;
        out[0] = static_cast<png_byte>(texel >> 16);
        out[1] = static_cast<png_byte>(texel >> 8);
        out[2] = static_cast<png_byte>(texel);
        if (channels == 4) out[3] = static_cast<png_byte>(texel >> 24);
    }
    return packed;
}

bool Encode(png_structp png, png_infop info, std::vector<std::uint8_t>* bytes, const Image& image,
            int colourType, png_bytep* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, bytes, OnPngWrite, OnPngFlush);
    png_set_IHDR(png, info, image.width, image.height, 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

Status CheckSize(const Image& image) {
    if (image.width == 0 || image.height == 0) return Error{"cannot write an empty image"};
    if (image.width > kMaxImageDimension || image.height > kMaxImageDimension ||
        image.texels.size() != static_cast<std::size_t>(image.width) * image.height) {
        return Error{"the image's texels do not match its size"};
    }
    return Status::Ok();
}

}  // namespace

Result<std::vector<std::uint8_t>> EncodePng(const Image& image, PngChannels channels) {
    if (Status size = CheckSize(image); !size) return Error{size.error()};
    const std::size_t channelCount = channels == PngChannels::kRgba ? 4 : 3;
    std::vector<png_byte> packed = PackedRows(image, channelCount);
    std::vector<png_bytep> rows(image.height);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        rows[y] = packed.data() + static_cast<std::size_t>(y) * image.width * channelCount;
    }

    std::vector<std::uint8_t> bytes;
    PngOutput output{&bytes, {}};
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &output, OnPngError, OnPngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const int colourType =
        channels == PngChannels::kRgba ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    const bool encoded =
        info != nullptr && Encode(png, info, &bytes, image, colourType, rows.data());
    png_destroy_write_struct(&png, &info);
    if (!encoded) return Error{output.message[0] != '\0' ? output.message : "the encoder failed"};
    return bytes;
}

Status WritePngFile(const std::string& path, const Image& image) {
    if (Status size = CheckSize(image); !size) return size;
    const auto bytes = EncodePng(image, PngChannels::kRgb);
    if (!bytes) return Error{path + ": " + bytes.error()};
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return Error{path + ": cannot create the file"};
    const bool written = std::fwrite(bytes->data(), 1, bytes->size(), file) == bytes->size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(path.c_str());
        return Error{path + ": write failed"};
    }
    return Status::Ok();
}

}  // namespace gfx
