#include "platform/gfx/Format.h"

namespace platform::gfx {

bool IsCompressed(Format format)
{
    return format == Format::DXT1 || format == Format::DXT3 || format == Format::DXT5;
}

uint32_t BytesPerUnit(Format format)
{
    switch (format) {
    case Format::A8R8G8B8:
    case Format::X8R8G8B8: return 4;
    case Format::R5G6B5: return 2;
    case Format::DXT1: return 8;
    case Format::DXT3:
    case Format::DXT5: return 16;
    }
    return 0;
}

uint32_t RowPitch(Format format, uint32_t width)
{
    const uint32_t units = IsCompressed(format) ? (width + 3) / 4 : width;
    return units * BytesPerUnit(format);
}

uint32_t RowCount(Format format, uint32_t height)
{
    return IsCompressed(format) ? (height + 3) / 4 : height;
}

uint32_t FullMipChain(uint32_t width, uint32_t height)
{
    uint32_t levels = 1;
    for (uint32_t size = width > height ? width : height; size > 1; size >>= 1) ++levels;
    return levels;
}

}  // namespace platform::gfx
