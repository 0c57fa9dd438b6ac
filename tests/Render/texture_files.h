#pragma once
#include <cstdint>
#include <vector>

// Texture files made in memory for the tests. Pixels are 0xAARRGGBB, rows from the top.
namespace restest {

// A TGA of the given type (2 true colour, 10 RLE true colour) and depth (24 or 32); rows are
// stored from the bottom unless topDown (descriptor bit 5) is set.
std::vector<uint8_t> MakeTga(const std::vector<uint32_t>& pixels, uint16_t width, uint16_t height, uint8_t bits,
                             bool topDown, bool rle = false);
// A colour-mapped TGA (type 1): 8-bit indices into a 24-bit palette, rows from the top.
std::vector<uint8_t> MakePalettedTga(const std::vector<uint8_t>& indices, const std::vector<uint32_t>& palette,
                                     uint16_t width, uint16_t height);
// A DDS holding DXT5 blocks of a width × height picture, its levels one after the other.
std::vector<uint8_t> MakeDxt5Dds(const std::vector<uint8_t>& blocks, uint32_t width, uint32_t height,
                                 uint32_t levels = 1);
// A DDS of 32-bit BGRA pixels with alpha, its levels one after the other.
std::vector<uint8_t> MakeBgraDds(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height,
                                 uint32_t levels = 1);
// A PNG with alpha.
std::vector<uint8_t> MakePng(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height);
// A JPEG of the picture (alpha ignored) at quality 100.
std::vector<uint8_t> MakeJpeg(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height);

}  // namespace restest
