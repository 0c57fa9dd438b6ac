#include <algorithm>

#include "Render/ImageDecoders.h"
#include "platform/LittleEndian.h"

using platform::Read32;
using platform::gfx::Format;

namespace {

// Offsets in the file (after the 4-byte signature comes a 124-byte header).
constexpr size_t kHeaderEnd = 4 + 124;
constexpr uint32_t kMipMapCountFlag = 0x20000u;
constexpr uint32_t kFourCcFlag = 0x4u;
constexpr uint32_t kRgbFlag = 0x40u;
constexpr uint32_t kAlphaPixelsFlag = 0x1u;
constexpr uint32_t kCubeOrVolume = 0x200u | 0x200000u;  // caps2: cube map, volume

constexpr uint32_t FourCc(char a, char b, char c, char d)
{
    return static_cast<uint32_t>(a) | (static_cast<uint32_t>(b) << 8) | (static_cast<uint32_t>(c) << 16) |
           (static_cast<uint32_t>(d) << 24);
}

struct DdsHeader {
    uint32_t size, flags, height, width, mipMapCount;
    uint32_t pixelFlags, fourCc, bitCount, redMask, greenMask, blueMask, alphaMask;
    uint32_t caps2;
};

DdsHeader ReadHeader(const uint8_t* data)
{
    const uint8_t* h = data + 4;
    return {Read32(h),      Read32(h + 4),  Read32(h + 8),  Read32(h + 12), Read32(h + 24),
            Read32(h + 76), Read32(h + 80), Read32(h + 84), Read32(h + 88), Read32(h + 92),
            Read32(h + 96), Read32(h + 100), Read32(h + 108)};
}

// The stored format: a DXT code, or 32-bit BGRA pixels with or without alpha.
bool StoredFormat(const DdsHeader& h, Format& format)
{
    if (h.pixelFlags & kFourCcFlag) {
        if (h.fourCc == FourCc('D', 'X', 'T', '1')) format = Format::DXT1;
        else if (h.fourCc == FourCc('D', 'X', 'T', '3')) format = Format::DXT3;
        else if (h.fourCc == FourCc('D', 'X', 'T', '5')) format = Format::DXT5;
        else return false;
        return true;
    }
    const bool bgra = (h.pixelFlags & kRgbFlag) && h.bitCount == 32 && h.redMask == 0x00FF0000u &&
                      h.greenMask == 0x0000FF00u && h.blueMask == 0x000000FFu;
    if (!bgra) return false;
    const bool alpha = (h.pixelFlags & kAlphaPixelsFlag) && h.alphaMask == 0xFF000000u;
    format = alpha ? Format::A8R8G8B8 : Format::X8R8G8B8;
    return true;
}

}  // namespace

bool DecodeDds(const uint8_t* data, size_t size, SPImage& image, std::string& error)
{
    if (size < kHeaderEnd) {
        error = "DDS: the file is too short";
        return false;
    }
    const DdsHeader header = ReadHeader(data);
    Format format;
    if (header.size != 124 || (header.caps2 & kCubeOrVolume) || !StoredFormat(header, format)) {
        error = "DDS: unsupported or invalid file";
        return false;
    }
    if (header.width == 0 || header.height == 0 || header.width > kMaxImageSide || header.height > kMaxImageSide) {
        error = "DDS: the picture is too large or empty";
        return false;
    }
    image.format = format;
    image.width = header.width;
    image.height = header.height;
    const uint32_t stored = (header.flags & kMipMapCountFlag) && header.mipMapCount > 0 ? header.mipMapCount : 1;
    const uint32_t levels = std::min(stored, FullMipChain(header.width, header.height));
    image.levels.clear();
    size_t pos = kHeaderEnd;
    for (uint32_t level = 0; level < levels; ++level) {
        const uint32_t w = image.LevelWidth(level);
        const uint32_t h = image.LevelHeight(level);
        const size_t bytes = static_cast<size_t>(platform::gfx::RowPitch(format, w)) * platform::gfx::RowCount(format, h);
        if (bytes > size - pos) {
            error = "DDS: the file ends before its last level";
            return false;
        }
        image.levels.emplace_back(data + pos, data + pos + bytes);
        pos += bytes;
    }
    return true;
}
