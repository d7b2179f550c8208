// PNG decoding through libpng: every colour type and bit depth is expanded to 8-bit RGBA
// (palettes expanded, tRNS turned into alpha, 16-bit channels cut to their high byte).
//
// libpng reports errors by longjmp back to the setjmp of the function that called it. Those
// functions (ReadHeaderAndSetTransforms, ReadRows) are C-style: they own no object with a
// destructor, so the jump skips nothing that needs cleaning up.

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/image/image_decoders.h"

namespace gfx {
namespace {

constexpr std::uint64_t kMaxDeflateRatio = 1032;

struct PngInput {
    const png_byte* data;
    std::size_t size;
    std::size_t position;
    char message[200];
};

void ReadFromMemory(png_structp png, png_bytep out, std::size_t length) {
    auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
    if (length > input->size - input->position) png_error(png, "unexpected end of data");
    std::memcpy(out, input->data + input->position, length);
    input->position += length;
}

// Keeps the message and jumps back; returning would let libpng print to stderr first.
[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* input = static_cast<PngInput*>(png_get_error_ptr(png));
    std::snprintf(input->message, sizeof input->message, "%s", message);
    png_longjmp(png, 1);
}

// Warnings (bad ancillary chunks and the like) do not stop decoding and are not printed.
void OnPngWarning(png_structp, png_const_charp) {}

bool ReadHeaderAndSetTransforms(png_structp png, png_infop info, int* sourceBitsPerPixel) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    *sourceBitsPerPixel = png_get_channels(png, info) * png_get_bit_depth(png, info);
    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (hasTransparency) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    if ((colourType & PNG_COLOR_MASK_ALPHA) == 0 && !hasTransparency) {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool ReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    // Reading to the end chunk notices data cut off after the pixels.
    png_read_end(png, nullptr);
    return true;
}

// Owns the libpng structures for the lifetime of one decode.
class PngReader {
  public:
    explicit PngReader(PngInput* input) {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, input, OnPngError, OnPngWarning);
        if (png_) info_ = png_create_info_struct(png_);
    }
    ~PngReader() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

  private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

}  // namespace

Result<Image> DecodePng(std::span<const std::byte> bytes) {
    PngInput input{reinterpret_cast<const png_byte*>(bytes.data()), bytes.size(), 0, {}};
    PngReader reader(&input);
    if (!reader.png() || !reader.info()) return Error{"PNG: cannot create the decoder"};
    png_set_read_fn(reader.png(), &input, ReadFromMemory);
    png_set_user_limits(reader.png(), kMaxImageDimension, kMaxImageDimension);

    int sourceBitsPerPixel = 0;
    if (!ReadHeaderAndSetTransforms(reader.png(), reader.info(), &sourceBitsPerPixel)) {
        return Error{std::string("PNG: ") + input.message};
    }
    const std::uint32_t width = png_get_image_width(reader.png(), reader.info());
    const std::uint32_t height = png_get_image_height(reader.png(), reader.info());
    const std::size_t rowBytes = png_get_rowbytes(reader.png(), reader.info());
    if (width == 0 || height == 0 || width > kMaxImageDimension || height > kMaxImageDimension) {
        return Error{"PNG: image size out of range"};
    }
    if (rowBytes != std::size_t{width} * 4) return Error{"PNG: unexpected row layout"};
    // Deflate shrinks data at most about 1032 times: a small file claiming a large image is
    // refused before the pixel memory is allocated.
    const std::uint64_t filteredBytes =
        std::uint64_t{height} * (1 + (std::uint64_t{width} * sourceBitsPerPixel + 7) / 8);
    if (filteredBytes / kMaxDeflateRatio > bytes.size()) {
        return Error{"PNG: " + std::to_string(bytes.size()) + " bytes cannot hold a " +
                     std::to_string(width) + " x " + std::to_string(height) + " image"};
    }

    // libpng writes RGBA bytes straight into the texel memory, converted in place afterwards.
    Image image{width, height, {}};
    image.texels.resize(std::size_t{width} * height);
    auto* rgba = reinterpret_cast<png_byte*>(image.texels.data());
    std::vector<png_bytep> rows(height);
    for (std::size_t y = 0; y < height; ++y) rows[y] = rgba + y * rowBytes;
    if (!ReadRows(reader.png(), rows.data())) return Error{std::string("PNG: ") + input.message};
    for (std::size_t i = 0; i < image.texels.size(); ++i) {
        const png_byte* p = rgba + 4 * i;
        image.texels[i] = PackArgb(p[3], p[0], p[1], p[2]);
    }
    return image;
}

}  // namespace gfx
