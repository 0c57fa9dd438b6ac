#pragma once
#include <cstdint>
#include <vector>

// The side of the video texture for a picture side: the power of two that follows the number of
// bits the side needs (always larger than the side: 240 → 256, 256 → 512, 640 → 1024), at least
// 2, and never above the device's largest side.
uint32_t VideoTextureSide(uint32_t side, uint32_t largest);

// Rows of pixels in memory, the top row first.
struct PictureRows {
    const uint8_t* pixels = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;  // bytes from one row to the next
};

// A picture larger than width × height (in either direction) shrunk to fit, its proportions
// kept, at the top-left of an image of exactly that size whose rest is black; bytesPerPixel is
// 2 or 4. out holds width × height pixels, rows tightly packed.
void ShrinkPicture(const PictureRows& picture, uint32_t bytesPerPixel, uint32_t width, uint32_t height,
                   std::vector<uint8_t>& out);
