#include <cstring>

#include "Render/ImageDecoders.h"
#include "platform/LittleEndian.h"

using platform::Read16;

namespace {

// The fields of the 18-byte TGA header that matter here.
struct TgaHeader {
    uint8_t idLength;
    uint8_t colourMapType;
    uint8_t imageType;
    uint16_t mapFirst;
    uint16_t mapLength;
    uint8_t mapEntryBits;
    uint16_t width;
    uint16_t height;
    uint8_t pixelBits;
    uint8_t descriptor;
};

constexpr size_t kHeaderSize = 18;

TgaHeader ReadHeader(const uint8_t* p)
{
    return {p[0], p[1], p[2], Read16(p + 3), Read16(p + 5), p[7], Read16(p + 12), Read16(p + 14), p[16], p[17]};
}

// A bounded cursor over the file.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos;

    bool Take(size_t n, const uint8_t*& out)
    {
        if (n > size - pos) return false;
        out = data + pos;
        pos += n;
        return true;
    }
};

// One stored value (pixel or palette entry) as 0xAARRGGBB.
uint32_t ToArgb(const uint8_t* p, uint32_t bits, bool alpha)
{
    switch (bits) {
    case 8: return 0xFF000000u | p[0] * 0x010101u;
    case 15:
    case 16: {
        const uint32_t v = Read16(p);
        const uint32_t r = (v >> 10) & 0x1F, g = (v >> 5) & 0x1F, b = v & 0x1F;
        const uint32_t a = !alpha || (v & 0x8000u) ? 0xFFu : 0u;
        return (a << 24) | (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) | ((b << 3) | (b >> 2));
    }
    case 24: return 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
    default: return (static_cast<uint32_t>(alpha ? p[3] : 0xFFu) << 24) | (p[2] << 16) | (p[1] << 8) | p[0];
    }
}

class TgaReader {
public:
    TgaReader(const TgaHeader& header, Reader reader) : header_(header), reader_(reader) {}

    bool Run(std::vector<uint32_t>& pixels, std::string& error)
    {
        const uint8_t type = header_.imageType & ~8u;
        const bool rle = (header_.imageType & 8u) != 0;
        const bool alpha = (header_.descriptor & 0x0Fu) != 0 || header_.pixelBits == 32;
        if (!CheckType(type, error) || !ReadPalette(alpha, error)) return false;
        const uint32_t bytes = (header_.pixelBits + 7u) / 8u;
        // The least the file must still hold (RLE packets cover at most 128 pixels), checked
        // before the picture is allocated.
        const size_t total = static_cast<size_t>(header_.width) * header_.height;
        const size_t least = rle ? (total + 127) / 128 * (1 + bytes) : total * bytes;
        if (least > reader_.size - reader_.pos) return Fail("TGA: the file ends before the picture", error);
        pixels.resize(total);
        size_t done = 0;
        while (done < pixels.size()) {
            uint32_t run = 1;
            bool repeat = false;
            const uint8_t* value = nullptr;
            if (rle) {
                if (!reader_.Take(1, value)) return Fail("TGA: the file ends before the picture", error);
                run = (value[0] & 0x7Fu) + 1u;
                repeat = (value[0] & 0x80u) != 0;
            }
            if (run > pixels.size() - done) return Fail("TGA: a run passes the end of the picture", error);
            for (uint32_t i = 0; i < run; ++i) {
                if ((i == 0 || !repeat) && !reader_.Take(bytes, value)) {
                    return Fail("TGA: the file ends before the picture", error);
                }
                if (!Convert(type, value, alpha, pixels[done++], error)) return false;
            }
        }
        return true;
    }

private:
    static bool Fail(const char* what, std::string& error)
    {
        error = what;
        return false;
    }

    bool CheckType(uint8_t type, std::string& error) const
    {
        const uint32_t bits = header_.pixelBits;
        const bool ok = (type == 1 && bits == 8 && header_.colourMapType == 1) ||
                        (type == 2 && (bits == 15 || bits == 16 || bits == 24 || bits == 32)) ||
                        (type == 3 && bits == 8);
        if (!ok) error = "TGA: unsupported or invalid file";
        return ok;
    }

    bool ReadPalette(bool alpha, std::string& error)
    {
        if (header_.colourMapType == 0) return true;
        const uint32_t bits = header_.mapEntryBits;
        if (bits != 15 && bits != 16 && bits != 24 && bits != 32) {
            error = "TGA: unsupported colour map";
            return false;
        }
        const uint8_t* entries;
        const uint32_t bytes = (bits + 7u) / 8u;
        if (!reader_.Take(static_cast<size_t>(header_.mapLength) * bytes, entries)) {
            error = "TGA: the file ends inside the colour map";
            return false;
        }
        palette_.resize(header_.mapLength);
        for (uint32_t i = 0; i < header_.mapLength; ++i) palette_[i] = ToArgb(entries + i * bytes, bits, alpha);
        return true;
    }

    bool Convert(uint8_t type, const uint8_t* value, bool alpha, uint32_t& pixel, std::string& error) const
    {
        if (type != 1) {
            pixel = ToArgb(value, header_.pixelBits, alpha);
            return true;
        }
        const uint32_t index = value[0];
        if (index < header_.mapFirst || index - header_.mapFirst >= palette_.size()) {
            error = "TGA: a colour index outside the colour map";
            return false;
        }
        pixel = palette_[index - header_.mapFirst];
        return true;
    }

    TgaHeader header_;
    Reader reader_;
    std::vector<uint32_t> palette_;
};

// Stored rows run from the bottom unless descriptor bit 5 is set, and from the left unless bit 4
// is set; the picture is turned so that its rows run from the top-left.
std::vector<uint8_t> Orient(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height, uint8_t descriptor)
{
    const bool topDown = (descriptor & 0x20u) != 0;
    const bool rightToLeft = (descriptor & 0x10u) != 0;
    std::vector<uint8_t> out(pixels.size() * 4);
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t sourceRow = topDown ? y : height - 1 - y;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t sourceColumn = rightToLeft ? width - 1 - x : x;
            const uint32_t pixel = pixels[static_cast<size_t>(sourceRow) * width + sourceColumn];
            std::memcpy(out.data() + (static_cast<size_t>(y) * width + x) * 4, &pixel, 4);
        }
    }
    return out;
}

}  // namespace

bool DecodeTga(const uint8_t* data, size_t size, SPImage& image, std::string& error)
{
    if (size < kHeaderSize) {
        error = "TGA: the file is too short";
        return false;
    }
    const TgaHeader header = ReadHeader(data);
    if (header.width == 0 || header.height == 0 || header.width > kMaxImageSide || header.height > kMaxImageSide ||
        header.colourMapType > 1) {
        error = "TGA: unsupported or invalid file";
        return false;
    }
    Reader reader{data, size, kHeaderSize};
    const uint8_t* id;
    if (!reader.Take(header.idLength, id)) {
        error = "TGA: the file is too short";
        return false;
    }
    std::vector<uint32_t> pixels;
    if (!TgaReader(header, reader).Run(pixels, error)) return false;
    const bool alpha = (header.descriptor & 0x0Fu) != 0 || header.pixelBits == 32;
    image.format = alpha ? platform::gfx::Format::A8R8G8B8 : platform::gfx::Format::X8R8G8B8;
    image.width = header.width;
    image.height = header.height;
    image.levels = {Orient(pixels, header.width, header.height, header.descriptor)};
    return true;
}
