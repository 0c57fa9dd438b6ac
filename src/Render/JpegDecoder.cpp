#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "Render/ImageDecoders.h"

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: jump back to the
// decoder with the message kept.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

// Everything that lives across the jump is plain data set up before it.
bool Decode(jpeg_decompress_struct& info, ErrorManager& errors, const uint8_t* data, size_t size,
            std::vector<uint8_t>& pixels)
{
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxImageSide ||
        info.image_height > kMaxImageSide) {
        std::snprintf(errors.message, sizeof(errors.message), "the picture is too large or empty");
        return false;
    }
    // Bytes B, G, R, A: 0xAARRGGBB pixels with opaque alpha.
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    const size_t pitch = static_cast<size_t>(info.output_width) * 4;
    pixels.resize(pitch * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + pitch * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, SPImage& image, std::string& error)
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    errors.base.output_message = IgnoreMessage;
    std::vector<uint8_t> pixels;
    const bool decoded = Decode(info, errors, data, size, pixels);
    jpeg_destroy_decompress(&info);
    if (!decoded) {
        error = std::string("JPEG: ") + errors.message;
        return false;
    }
    image.format = platform::gfx::Format::X8R8G8B8;
    image.width = info.output_width;
    image.height = info.output_height;
    image.levels = {std::move(pixels)};
    return true;
}
