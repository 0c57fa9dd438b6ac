#pragma once
#include <cstdint>

namespace platform::gfx {

// Texture formats. A8R8G8B8 and X8R8G8B8 are 32-bit pixels 0xAARRGGBB (bytes B, G, R, A in
// memory; X8 ignores alpha and samples it as 1), R5G6B5 16-bit pixels with red in the top bits,
// DXT1/3/5 4 × 4 blocks of 8, 16 and 16 bytes.
enum class Format : uint32_t { A8R8G8B8, X8R8G8B8, R5G6B5, DXT1, DXT3, DXT5 };

bool IsCompressed(Format format);
// Bytes of one pixel, or of one 4 × 4 block for compressed formats.
uint32_t BytesPerUnit(Format format);
// Bytes of one row (one row of blocks for compressed formats) of a level width pixels wide.
uint32_t RowPitch(Format format, uint32_t width);
// Rows (rows of blocks) of a level height pixels high.
uint32_t RowCount(Format format, uint32_t height);
// Levels of a full mip chain of a width × height texture, down to 1 × 1.
uint32_t FullMipChain(uint32_t width, uint32_t height);

}  // namespace platform::gfx
