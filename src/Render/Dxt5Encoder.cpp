#include "Render/Dxt5Encoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

uint32_t Channel(uint32_t pixel, uint32_t shift) { return (pixel >> shift) & 0xFFu; }

uint16_t To565(uint32_t r, uint32_t g, uint32_t b)
{
    return static_cast<uint16_t>(((r * 31 + 127) / 255) << 11 | ((g * 63 + 127) / 255) << 5 | ((b * 31 + 127) / 255));
}

void From565(uint16_t c, uint32_t rgb[3])
{
    const uint32_t r = (c >> 11) & 0x1Fu, g = (c >> 5) & 0x3Fu, b = c & 0x1Fu;
    rgb[0] = (r << 3) | (r >> 2);
    rgb[1] = (g << 2) | (g >> 4);
    rgb[2] = (b << 3) | (b >> 2);
}

uint32_t DistanceSq(const uint32_t a[3], uint32_t pixel)
{
    uint32_t sum = 0;
    for (uint32_t c = 0; c < 3; ++c) {
        const int32_t d = static_cast<int32_t>(a[c]) - static_cast<int32_t>(Channel(pixel, 16 - 8 * c));
        sum += static_cast<uint32_t>(d * d);
    }
    return sum;
}

// Eight alpha values between the block's extremes, 3-bit index per texel.
void EncodeAlpha(const uint32_t texels[16], uint8_t out[8])
{
    uint32_t lo = 255, hi = 0;
    for (int i = 0; i < 16; ++i) {
        lo = std::min(lo, Channel(texels[i], 24));
        hi = std::max(hi, Channel(texels[i], 24));
    }
    out[0] = static_cast<uint8_t>(hi);
    out[1] = static_cast<uint8_t>(lo);
    uint32_t palette[8] = {hi, lo};
    for (uint32_t i = 1; i < 7; ++i) palette[i + 1] = ((7 - i) * hi + i * lo) / 7;
    uint64_t bits = 0;
    for (int i = 0; i < 16; ++i) {
        const int32_t a = static_cast<int32_t>(Channel(texels[i], 24));
        uint32_t best = 0;
        for (uint32_t j = 1; j < 8 && hi != lo; ++j) {
            if (std::abs(a - static_cast<int32_t>(palette[j])) < std::abs(a - static_cast<int32_t>(palette[best]))) best = j;
        }
        bits |= static_cast<uint64_t>(best) << (3 * i);
    }
    for (int i = 0; i < 6; ++i) out[2 + i] = static_cast<uint8_t>(bits >> (8 * i));
}

uint32_t PixelDistanceSq(uint32_t a, uint32_t b)
{
    uint32_t rgb[3] = {Channel(a, 16), Channel(a, 8), Channel(a, 0)};
    return DistanceSq(rgb, b);
}

// Four colours on the line between the block's two most different texels, 2-bit index per
// texel.
void EncodeColour(const uint32_t texels[16], uint8_t out[8])
{
    uint32_t first = texels[0], second = texels[0], widest = 0;
    for (int i = 0; i < 16; ++i) {
        for (int j = i + 1; j < 16; ++j) {
            const uint32_t distance = PixelDistanceSq(texels[i], texels[j]);
            if (distance > widest) {
                widest = distance;
                first = texels[i];
                second = texels[j];
            }
        }
    }
    uint16_t c0 = To565(Channel(first, 16), Channel(first, 8), Channel(first, 0));
    uint16_t c1 = To565(Channel(second, 16), Channel(second, 8), Channel(second, 0));
    if (c0 < c1) std::swap(c0, c1);
    uint32_t palette[4][3];
    From565(c0, palette[0]);
    From565(c1, palette[1]);
    for (uint32_t c = 0; c < 3; ++c) {
        palette[2][c] = (2 * palette[0][c] + palette[1][c]) / 3;
        palette[3][c] = (palette[0][c] + 2 * palette[1][c]) / 3;
    }
    uint32_t bits = 0;
    for (int i = 0; i < 16; ++i) {
        uint32_t best = 0;
        for (uint32_t j = 1; j < 4 && c0 != c1; ++j) {
            if (DistanceSq(palette[j], texels[i]) < DistanceSq(palette[best], texels[i])) best = j;
        }
        bits |= best << (2 * i);
    }
    out[0] = static_cast<uint8_t>(c0);
    out[1] = static_cast<uint8_t>(c0 >> 8);
    out[2] = static_cast<uint8_t>(c1);
    out[3] = static_cast<uint8_t>(c1 >> 8);
    std::memcpy(out + 4, &bits, 4);
}

}  // namespace

std::vector<uint8_t> CompressDxt5(const uint8_t* pixels, uint32_t width, uint32_t height)
{
    const uint32_t blocksWide = (width + 3) / 4;
    const uint32_t blocksHigh = (height + 3) / 4;
    std::vector<uint8_t> blocks(static_cast<size_t>(blocksWide) * blocksHigh * 16);
    uint32_t texels[16];
    for (uint32_t by = 0; by < blocksHigh; ++by) {
        for (uint32_t bx = 0; bx < blocksWide; ++bx) {
            for (uint32_t i = 0; i < 16; ++i) {
                const uint32_t x = std::min(bx * 4 + i % 4, width - 1);
                const uint32_t y = std::min(by * 4 + i / 4, height - 1);
                std::memcpy(&texels[i], pixels + (static_cast<size_t>(y) * width + x) * 4, 4);
            }
            uint8_t* block = blocks.data() + (static_cast<size_t>(by) * blocksWide + bx) * 16;
            EncodeAlpha(texels, block);
            EncodeColour(texels, block + 8);
        }
    }
    return blocks;
}

void CompressImageDxt5(SPImage& image)
{
    // Pixels without alpha may carry anything in their top byte: they are opaque.
    if (image.format == platform::gfx::Format::X8R8G8B8) {
        for (auto& level : image.levels) {
            for (size_t i = 3; i < level.size(); i += 4) level[i] = 0xFF;
        }
    }
    for (uint32_t level = 0; level < image.levels.size(); ++level) {
        image.levels[level] = CompressDxt5(image.levels[level].data(), image.LevelWidth(level), image.LevelHeight(level));
    }
    image.format = platform::gfx::Format::DXT5;
}
