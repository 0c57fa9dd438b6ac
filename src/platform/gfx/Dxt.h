#pragma once
#include <cstdint>

#include "platform/gfx/Format.h"

namespace platform::gfx {

// Decodes one 4 × 4 block of a DXT1, DXT3 or DXT5 texture into 16 pixels 0xAARRGGBB, row by
// row from the top-left texel. Used where the driver cannot sample S3TC textures.
void DecodeDxtBlock(Format format, const uint8_t* block, uint32_t pixels[16]);

// Decodes a width × height region stored as rows of blocks (blockPitch bytes apart) into
// pixels (pixelPitch bytes apart). Texels of partial edge blocks beyond the region are skipped.
void DecodeDxt(Format format, const uint8_t* blocks, uint32_t blockPitch, uint32_t width, uint32_t height,
               uint8_t* pixels, uint32_t pixelPitch);

}  // namespace platform::gfx
