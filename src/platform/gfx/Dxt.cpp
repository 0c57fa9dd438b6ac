#include "platform/gfx/Dxt.h"

#include <cstring>

#include "platform/LittleEndian.h"

namespace platform::gfx {
namespace {

struct Rgb {
    uint32_t r, g, b;
};

Rgb Expand565(uint16_t c)
{
    const uint32_t r = (c >> 11) & 0x1Fu;
    const uint32_t g = (c >> 5) & 0x3Fu;
    const uint32_t b = c & 0x1Fu;
    return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

uint32_t Pack(Rgb c, uint32_t alpha) { return (alpha << 24) | (c.r << 16) | (c.g << 8) | c.b; }

Rgb Mix(Rgb a, Rgb b, uint32_t wa, uint32_t wb, uint32_t total)
{
    return {(a.r * wa + b.r * wb) / total, (a.g * wa + b.g * wb) / total, (a.b * wa + b.b * wb) / total};
}

// The colour half of a block: two 5:6:5 end points and 2-bit indices. DXT1 blocks whose first
// end point is not above the second have three colours and transparent black.
void DecodeColours(const uint8_t* block, bool allowTransparent, uint32_t pixels[16])
{
    const uint16_t c0 = Read16(block);
    const uint16_t c1 = Read16(block + 2);
    const Rgb e0 = Expand565(c0);
    const Rgb e1 = Expand565(c1);
    uint32_t palette[4];
    palette[0] = Pack(e0, 255);
    palette[1] = Pack(e1, 255);
    if (c0 > c1 || !allowTransparent) {
        palette[2] = Pack(Mix(e0, e1, 2, 1, 3), 255);
        palette[3] = Pack(Mix(e0, e1, 1, 2, 3), 255);
    } else {
        palette[2] = Pack(Mix(e0, e1, 1, 1, 2), 255);
        palette[3] = 0;
    }
    const uint32_t indices = Read32(block + 4);
    for (int i = 0; i < 16; ++i) {
        pixels[i] = palette[(indices >> (2 * i)) & 3u];
    }
}

void SetAlpha(uint32_t& pixel, uint32_t alpha) { pixel = (pixel & 0x00FFFFFFu) | (alpha << 24); }

// Explicit 4-bit alpha per texel.
void DecodeExplicitAlpha(const uint8_t* block, uint32_t pixels[16])
{
    for (int i = 0; i < 16; ++i) {
        const uint32_t a4 = (block[i / 2] >> (4 * (i % 2))) & 0xFu;
        SetAlpha(pixels[i], a4 * 17);
    }
}

// Two alpha end points and 3-bit indices into eight interpolated values.
void DecodeInterpolatedAlpha(const uint8_t* block, uint32_t pixels[16])
{
    const uint32_t a0 = block[0];
    const uint32_t a1 = block[1];
    uint32_t palette[8] = {a0, a1, 0, 0, 0, 0, 0, 255};
    if (a0 > a1) {
        for (uint32_t k = 1; k < 7; ++k) palette[k + 1] = ((7 - k) * a0 + k * a1) / 7;
    } else {
        for (uint32_t k = 1; k < 5; ++k) palette[k + 1] = ((5 - k) * a0 + k * a1) / 5;
        palette[6] = 0;
    }
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) {
        SetAlpha(pixels[i], palette[(bits >> (3 * i)) & 7u]);
    }
}

}  // namespace

void DecodeDxtBlock(Format format, const uint8_t* block, uint32_t pixels[16])
{
    switch (format) {
    case Format::DXT1: DecodeColours(block, true, pixels); break;
    case Format::DXT3:
        DecodeColours(block + 8, false, pixels);
        DecodeExplicitAlpha(block, pixels);
        break;
    case Format::DXT5:
        DecodeColours(block + 8, false, pixels);
        DecodeInterpolatedAlpha(block, pixels);
        break;
    default: std::memset(pixels, 0, 16 * sizeof(uint32_t)); break;
    }
}

void DecodeDxt(Format format, const uint8_t* blocks, uint32_t blockPitch, uint32_t width, uint32_t height,
               uint8_t* pixels, uint32_t pixelPitch)
{
    const uint32_t blockBytes = BytesPerUnit(format);
    uint32_t texels[16];
    for (uint32_t by = 0; by * 4 < height; ++by) {
        for (uint32_t bx = 0; bx * 4 < width; ++bx) {
            DecodeDxtBlock(format, blocks + by * blockPitch + bx * blockBytes, texels);
            for (uint32_t y = 0; y < 4 && by * 4 + y < height; ++y) {
                for (uint32_t x = 0; x < 4 && bx * 4 + x < width; ++x) {
                    std::memcpy(pixels + (by * 4 + y) * pixelPitch + (bx * 4 + x) * 4, &texels[y * 4 + x], 4);
                }
            }
        }
    }
}

}  // namespace platform::gfx
