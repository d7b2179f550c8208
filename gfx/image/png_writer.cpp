// PNG encoding through libpng. As in the decoder, libpng reports errors by longjmp back to the
// setjmp of the C-style function that called it, which owns nothing with a destructor.

#include "gfx/image/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace gfx {
namespace {

struct PngOutput {
    char message[200];
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* output = static_cast<PngOutput*>(png_get_error_ptr(png));
    std::snprintf(output->message, sizeof output->message, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// The rows as packed RGB bytes, top row first.
std::vector<png_byte> RgbRows(const Image& image) {
    std::vector<png_byte> rgb(image.texels.size() * 3);
    for (std::size_t i = 0; i < image.texels.size(); ++i) {
        const Colour texel = image.texels[i];
        rgb[i * 3 + 0] = static_cast<png_byte>(texel >> 16);
        rgb[i * 3 + 1] = static_cast<png_byte>(texel >> 8);
        rgb[i * 3 + 2] = static_cast<png_byte>(texel);
    }
    return rgb;
}

bool Encode(png_structp png, png_infop info, std::FILE* file, const Image& image, png_bytep* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

Status WritePngFile(const std::string& path, const Image& image) {
    if (image.width == 0 || image.height == 0) return Error{"cannot write an empty image"};
    if (image.width > kMaxImageDimension || image.height > kMaxImageDimension ||
        image.texels.size() != static_cast<std::size_t>(image.width) * image.height) {
        return Error{"the image's texels do not match its size"};
    }
    std::vector<png_byte> rgb = RgbRows(image);
    std::vector<png_bytep> rows(image.height);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        rows[y] = rgb.data() + static_cast<std::size_t>(y) * image.width * 3;
    }

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return Error{path + ": cannot create the file"};
    PngOutput output{};
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &output, OnPngError, OnPngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool encoded = info != nullptr && Encode(png, info, file, image, rows.data());
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file) == 0;
    if (!encoded || !closed) {
        std::remove(path.c_str());
        const std::string reason = output.message[0] != '\0' ? output.message : "write failed";
        return Error{path + ": " + reason};
    }
    return Status::Ok();
}

}  // namespace gfx
