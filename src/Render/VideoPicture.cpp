#include "Render/VideoPicture.h"

#include <algorithm>
#include <cstring>

uint32_t VideoTextureSide(uint32_t side, uint32_t largest)
{
    uint32_t rounded = 2;
    while (rounded <= side && rounded < largest) rounded *= 2;
    return std::min(rounded, std::max(largest, 2u));
}

void ShrinkPicture(const PictureRows& picture, uint32_t bytesPerPixel, uint32_t width, uint32_t height,
                   std::vector<uint8_t>& out)
{
    out.assign(static_cast<size_t>(width) * height * bytesPerPixel, 0);
    if (picture.pixels == nullptr || picture.width == 0 || picture.height == 0) return;
    // The larger of the two shrink factors, so the whole picture fits.
    const uint64_t fitWidth = std::min<uint64_t>(width, static_cast<uint64_t>(picture.width) * height / picture.height);
    const uint32_t shownWidth = static_cast<uint32_t>(std::max<uint64_t>(1, fitWidth));
    const uint32_t shownHeight = static_cast<uint32_t>(
        std::clamp<uint64_t>(static_cast<uint64_t>(picture.height) * shownWidth / picture.width, 1, height));
    for (uint32_t y = 0; y < shownHeight; ++y) {
        const uint8_t* row = picture.pixels + static_cast<size_t>(y) * picture.height / shownHeight * picture.pitch;
        uint8_t* target = out.data() + static_cast<size_t>(y) * width * bytesPerPixel;
        for (uint32_t x = 0; x < shownWidth; ++x) {
            const size_t sourceX = static_cast<size_t>(x) * picture.width / shownWidth;
            std::memcpy(target + static_cast<size_t>(x) * bytesPerPixel, row + sourceX * bytesPerPixel, bytesPerPixel);
        }
    }
}
