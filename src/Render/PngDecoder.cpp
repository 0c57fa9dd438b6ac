#include <png.h>

#include "Render/ImageDecoders.h"

bool DecodePng(const uint8_t* data, size_t size, SPImage& image, std::string& error)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size)) {
        error = std::string("PNG: ") + png.message;
        return false;
    }
    if (png.width == 0 || png.height == 0 || png.width > kMaxImageSide || png.height > kMaxImageSide) {
        png_image_free(&png);
        error = "PNG: the picture is too large or empty";
        return false;
    }
    const bool alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    // Bytes B, G, R, A: 0xAARRGGBB pixels.
    png.format = PNG_FORMAT_BGRA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
        error = std::string("PNG: ") + png.message;
        png_image_free(&png);
        return false;
    }
    image.format = alpha ? platform::gfx::Format::A8R8G8B8 : platform::gfx::Format::X8R8G8B8;
    image.width = png.width;
    image.height = png.height;
    image.levels = {std::move(pixels)};
    return true;
}
