#include "texture_files.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <png.h>

namespace restest {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, value & 0xFFFFu);
    Put16(out, value >> 16);
}

void PutPixel(std::vector<uint8_t>& out, uint32_t pixel, uint8_t bits)
{
    out.push_back(static_cast<uint8_t>(pixel));
    out.push_back(static_cast<uint8_t>(pixel >> 8));
    out.push_back(static_cast<uint8_t>(pixel >> 16));
    if (bits == 32) out.push_back(static_cast<uint8_t>(pixel >> 24));
}

std::vector<uint8_t> TgaHeader(uint8_t type, bool mapped, uint16_t mapLength, uint16_t width, uint16_t height,
                               uint8_t bits, uint8_t descriptor)
{
    std::vector<uint8_t> out = {0, static_cast<uint8_t>(mapped ? 1 : 0), type};
    Put16(out, 0);
    Put16(out, mapLength);
    out.push_back(mapped ? 24 : 0);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width);
    Put16(out, height);
    out.push_back(bits);
    out.push_back(descriptor);
    return out;
}

}  // namespace

std::vector<uint8_t> MakeTga(const std::vector<uint32_t>& pixels, uint16_t width, uint16_t height, uint8_t bits,
                             bool topDown, bool rle)
{
    const uint8_t descriptor = static_cast<uint8_t>((bits == 32 ? 8 : 0) | (topDown ? 0x20 : 0));
    std::vector<uint8_t> out = TgaHeader(rle ? 10 : 2, false, 0, width, height, bits, descriptor);
    for (uint32_t row = 0; row < height; ++row) {
        const uint32_t y = topDown ? row : height - 1 - row;
        for (uint32_t x = 0; x < width;) {
            // RLE: equal neighbours share a repeat packet, others get raw packets of one.
            uint32_t run = 1;
            while (rle && x + run < width && run < 128 && pixels[y * width + x + run] == pixels[y * width + x]) ++run;
            if (rle) out.push_back(static_cast<uint8_t>(run > 1 ? 0x80 | (run - 1) : 0));
            PutPixel(out, pixels[y * width + x], bits);
            x += run;
        }
    }
    return out;
}

std::vector<uint8_t> MakePalettedTga(const std::vector<uint8_t>& indices, const std::vector<uint32_t>& palette,
                                     uint16_t width, uint16_t height)
{
    std::vector<uint8_t> out = TgaHeader(1, true, static_cast<uint16_t>(palette.size()), width, height, 8, 0x20);
    for (uint32_t colour : palette) PutPixel(out, colour, 24);
    out.insert(out.end(), indices.begin(), indices.end());
    return out;
}

namespace {

// The 128 bytes before the data of a DDS file; levels above 1 set the mip-map count.
std::vector<uint8_t> DdsHeader(uint32_t width, uint32_t height, uint32_t levels, bool dxt5)
{
    std::vector<uint8_t> out = {'D', 'D', 'S', ' '};
    Put32(out, 124);
    Put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | (levels > 1 ? 0x20000 : 0));  // caps, height, width, format, mips
    Put32(out, height);
    Put32(out, width);
    Put32(out, 0);  // pitch or linear size
    Put32(out, 0);  // depth
    Put32(out, levels > 1 ? levels : 0);
    for (int i = 0; i < 11; ++i) Put32(out, 0);
    Put32(out, 32);
    if (dxt5) {
        Put32(out, 0x4);  // four-character code
        out.insert(out.end(), {'D', 'X', 'T', '5'});
        for (int i = 0; i < 5; ++i) Put32(out, 0);
    } else {
        Put32(out, 0x40 | 0x1);  // RGB with alpha
        Put32(out, 0);
        for (uint32_t mask : {32u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put32(out, mask);
    }
    Put32(out, 0x1000 | (levels > 1 ? 0x400008 : 0));  // caps: texture, mip map, complex
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    return out;
}

}  // namespace

std::vector<uint8_t> MakeDxt5Dds(const std::vector<uint8_t>& blocks, uint32_t width, uint32_t height, uint32_t levels)
{
    std::vector<uint8_t> out = DdsHeader(width, height, levels, true);
    out.insert(out.end(), blocks.begin(), blocks.end());
    return out;
}

std::vector<uint8_t> MakeBgraDds(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height, uint32_t levels)
{
    std::vector<uint8_t> out = DdsHeader(width, height, levels, false);
    for (uint32_t pixel : pixels) Put32(out, pixel);
    return out;
}

std::vector<uint8_t> MakePng(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<uint8_t> out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr);
    out.resize(size);
    return out;
}

std::vector<uint8_t> MakeJpeg(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(width * 3);
    while (info.next_scanline < height) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t pixel = pixels[info.next_scanline * width + x];
            row[x * 3] = static_cast<uint8_t>(pixel >> 16);
            row[x * 3 + 1] = static_cast<uint8_t>(pixel >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(pixel);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

}  // namespace restest
