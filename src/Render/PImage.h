#pragma once
#include <cstdint>
#include <vector>

#include "platform/gfx/Format.h"

// A decoded texture picture on its way to the device: 32-bit pixels 0xAARRGGBB (A8R8G8B8, or
// X8R8G8B8 when the file has no alpha) or DXT blocks, as a chain of levels, the largest first.
// Rows (rows of 4 × 4 blocks) run from the top, tightly packed.
struct SPImage {
    platform::gfx::Format format = platform::gfx::Format::A8R8G8B8;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<std::vector<uint8_t>> levels;

    uint32_t LevelWidth(uint32_t level) const { return width >> level ? width >> level : 1; }
    uint32_t LevelHeight(uint32_t level) const { return height >> level ? height >> level : 1; }
};

// The largest side a decoded picture may have; bigger files are refused before anything is
// allocated for them.
constexpr uint32_t kMaxImageSide = 8192;

using platform::gfx::FullMipChain;

// Replaces the levels of a 32-bit picture by its level 0 followed by the full mip chain, each
// level the 2 × 2 box average of the one above (edges of odd sizes repeat their last texel).
void BuildMipChain(SPImage& image);

// Drops the largest level of a picture until its top level fits in maxSide: stored levels are
// dropped while there are at least two; a 32-bit picture of one level is halved with the box
// filter. False when it cannot fit (a DXT picture out of levels).
bool FitImage(SPImage& image, uint32_t maxSide);

// Turns DXT blocks into 32-bit pixels (A8R8G8B8), every level.
void DecompressImage(SPImage& image);

// Turns a decoded picture into what the device gets: DXT pictures the device cannot take as they
// are (sides not multiples of four, or too large for their stored levels) are decoded with all
// their levels; stored levels are kept (the largest dropped while the picture is too large), a
// picture of one level gets its full mip chain; 32-bit pictures get DXT5 compression when asked.
// False when the picture cannot fit maxSide.
bool PrepareImage(SPImage& image, uint32_t maxSide, bool compressDxt5);
