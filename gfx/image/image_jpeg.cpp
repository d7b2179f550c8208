// JPEG decoding through libjpeg: grayscale and colour (YCbCr or RGB) images, baseline or
// progressive. CMYK and YCCK images and arithmetic coding are refused.
//
// libjpeg's default error handler exits the process. Ours keeps the message and longjmps back to
// the setjmp of the C-style function (StartDecoding, ReadAllRows) that called into libjpeg; these
// own no object with a destructor. Corrupt data that libjpeg only warns about (a file that ends
// early, a damaged entropy segment) fails the decode too.

#include <stdio.h>  // jpeglib.h needs FILE and size_t declared first
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include "gfx/image/image_decoders.h"

namespace gfx {
namespace {

// Huffman-coded data spends at least one bit on every 8 x 8 block of a component in the first
// scan that carries it, and a component is sampled at no less than a quarter of the image
// resolution each way: a block covers at most 32 x 32 pixels, so a byte covers at most 8192.
constexpr std::uint64_t kMaxPixelsPerJpegByte = 8192;

struct JpegErrorHandler {
    jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is a pointer to the handler
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct JpegDecoder {
    jpeg_decompress_struct info;
    JpegErrorHandler error;
    bool created;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
    auto* handler = reinterpret_cast<JpegErrorHandler*>(info->err);
    handler->manager.format_message(info, handler->message);
    std::longjmp(handler->jump, 1);
}

// Level -1 is a warning about corrupt data; other levels are trace output.
void OnJpegMessage(j_common_ptr info, int level) {
    // Stray bytes between markers are common in otherwise sound files.
    if (level == -1 && info->err->msg_code != JWRN_EXTRANEOUS_DATA) OnJpegError(info);
}

bool StartDecoding(JpegDecoder* decoder, const unsigned char* data, std::size_t size) {
    decoder->info.err = jpeg_std_error(&decoder->error.manager);
    decoder->error.manager.error_exit = OnJpegError;
    decoder->error.manager.emit_message = OnJpegMessage;
    if (setjmp(decoder->error.jump)) return false;
    jpeg_create_decompress(&decoder->info);
    decoder->created = true;
    jpeg_mem_src(&decoder->info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&decoder->info, TRUE) != JPEG_HEADER_OK) {
        std::snprintf(decoder->error.message, sizeof decoder->error.message, "no image in data");
        return false;
    }
    return true;
}

bool ReadAllRows(JpegDecoder* decoder, unsigned char* pixels, std::size_t rowBytes) {
    if (setjmp(decoder->error.jump)) return false;
    jpeg_decompress_struct* info = &decoder->info;
    jpeg_start_decompress(info);
    if (static_cast<std::size_t>(info->output_width) * info->output_components != rowBytes) {
        std::snprintf(decoder->error.message, sizeof decoder->error.message,
                      "unexpected output layout");
        return false;
    }
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = pixels + std::size_t{info->output_scanline} * rowBytes;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

// Owns the decoder state for one decode; destroys libjpeg's side once it was created.
struct JpegDecoderOwner {
    JpegDecoder decoder{};
    ~JpegDecoderOwner() {
        if (decoder.created) jpeg_destroy_decompress(&decoder.info);
    }
};

}  // namespace

Result<Image> DecodeJpeg(std::span<const std::byte> bytes) {
    JpegDecoderOwner owner;
    JpegDecoder* decoder = &owner.decoder;
    auto fail = [&] { return Error{std::string("JPEG: ") + decoder->error.message}; };
    if (!StartDecoding(decoder, reinterpret_cast<const unsigned char*>(bytes.data()),
                       bytes.size())) {
        return fail();
    }
    jpeg_decompress_struct& info = decoder->info;
    int components = 3;
    switch (info.jpeg_color_space) {
        case JCS_GRAYSCALE:
            info.out_color_space = JCS_GRAYSCALE;
            components = 1;
            break;
        case JCS_YCbCr:
        case JCS_RGB:
            info.out_color_space = JCS_RGB;
            break;
        default:
            return Error{"JPEG: unsupported colour space (only grayscale and colour images)"};
    }
    const std::uint32_t width = info.image_width, height = info.image_height;
    if (width == 0 || height == 0 || width > kMaxImageDimension || height > kMaxImageDimension) {
        return Error{"JPEG: image size " + std::to_string(width) + " x " + std::to_string(height) +
                     " out of range"};
    }
    // Arithmetic coding has no such bound (nor do the Windows-era readers decode it).
    if (info.arith_code) return Error{"JPEG: arithmetic-coded images are not supported"};
    if (std::uint64_t{width} * height > kMaxPixelsPerJpegByte * bytes.size()) {
        return Error{"JPEG: " + std::to_string(bytes.size()) + " bytes cannot hold a " +
                     std::to_string(width) + " x " + std::to_string(height) + " image"};
    }
    const std::size_t rowBytes = std::size_t{width} * static_cast<std::size_t>(components);
    std::vector<unsigned char> pixels(rowBytes * height);
    if (!ReadAllRows(decoder, pixels.data(), rowBytes)) return fail();

    Image image{width, height, {}};
    image.texels.resize(std::size_t{width} * height);
    for (std::size_t i = 0; i < image.texels.size(); ++i) {
        const unsigned char* p = pixels.data() + i * static_cast<std::size_t>(components);
        image.texels[i] =
            components == 1 ? PackArgb(0xFF, p[0], p[0], p[0]) : PackArgb(0xFF, p[0], p[1], p[2]);
    }
    return image;
}

}  // namespace gfx
