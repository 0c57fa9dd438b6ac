#include "Render/PImage.h"

#include <algorithm>
#include <cstring>

#include "Render/Dxt5Encoder.h"
#include "platform/gfx/Dxt.h"

using platform::gfx::Format;

namespace {

uint32_t ReadPixel(const std::vector<uint8_t>& level, uint32_t width, uint32_t x, uint32_t y)
{
    uint32_t pixel;
    std::memcpy(&pixel, level.data() + (static_cast<size_t>(y) * width + x) * 4, 4);
    return pixel;
}

// The 2 × 2 box average of a level, half its size (at least 1 × 1).
std::vector<uint8_t> Halve(const std::vector<uint8_t>& source, uint32_t width, uint32_t height)
{
    const uint32_t w = width > 1 ? width / 2 : 1;
    const uint32_t h = height > 1 ? height / 2 : 1;
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
    for (uint32_t y = 0; y < h; ++y) {
        const uint32_t y0 = std::min(2 * y, height - 1);
        const uint32_t y1 = std::min(2 * y + 1, height - 1);
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t x0 = std::min(2 * x, width - 1);
            const uint32_t x1 = std::min(2 * x + 1, width - 1);
            const uint32_t texels[4] = {ReadPixel(source, width, x0, y0), ReadPixel(source, width, x1, y0),
                                        ReadPixel(source, width, x0, y1), ReadPixel(source, width, x1, y1)};
            uint32_t result = 0;
            for (uint32_t shift = 0; shift < 32; shift += 8) {
                uint32_t sum = 2;
                for (uint32_t texel : texels) sum += (texel >> shift) & 0xFFu;
                result |= (sum / 4) << shift;
            }
            std::memcpy(out.data() + (static_cast<size_t>(y) * w + x) * 4, &result, 4);
        }
    }
    return out;
}

}  // namespace

void BuildMipChain(SPImage& image)
{
    const uint32_t count = FullMipChain(image.width, image.height);
    image.levels.resize(1);
    image.levels.reserve(count);
    for (uint32_t level = 1; level < count; ++level) {
        image.levels.push_back(Halve(image.levels[level - 1], image.LevelWidth(level - 1), image.LevelHeight(level - 1)));
    }
}

bool FitImage(SPImage& image, uint32_t maxSide)
{
    const bool compressed = platform::gfx::IsCompressed(image.format);
    while (image.width > maxSide || image.height > maxSide) {
        if (image.levels.size() >= 2) {
            image.levels.erase(image.levels.begin());
        } else if (compressed) {
            return false;
        } else {
            image.levels = {Halve(image.levels[0], image.width, image.height)};
        }
        image.width = image.LevelWidth(1);
        image.height = image.LevelHeight(1);
    }
    return true;
}

void DecompressImage(SPImage& image)
{
    if (!platform::gfx::IsCompressed(image.format)) return;
    for (uint32_t level = 0; level < image.levels.size(); ++level) {
        const uint32_t w = image.LevelWidth(level);
        const uint32_t h = image.LevelHeight(level);
        std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
        platform::gfx::DecodeDxt(image.format, image.levels[level].data(), platform::gfx::RowPitch(image.format, w), w,
                                 h, pixels.data(), w * 4);
        image.levels[level] = std::move(pixels);
    }
    image.format = Format::A8R8G8B8;
}

bool PrepareImage(SPImage& image, uint32_t maxSide, bool compressDxt5)
{
    const auto multipleOfFour = [&image] { return image.width % 4 == 0 && image.height % 4 == 0; };
    const bool tooLarge = image.width > maxSide || image.height > maxSide;
    if (platform::gfx::IsCompressed(image.format) && (!multipleOfFour() || tooLarge)) DecompressImage(image);
    if (platform::gfx::IsCompressed(image.format)) return true;
    if (!FitImage(image, maxSide)) return false;
    if (image.levels.size() == 1) BuildMipChain(image);
    if (compressDxt5 && multipleOfFour()) CompressImageDxt5(image);
    return true;
}
