// PNG textures: the decoder the texture loader picks for them, then the preparation. libpng
// refuses a chunk whose checksum does not match, so mutated files would seldom get past their
// first chunk: every whole chunk gets its checksum recomputed before the file is decoded.
#include <zlib.h>

#include <vector>

#include "Render/ImageDecoders.h"
#include "image.h"

namespace {

constexpr size_t kSignatureSize = 8;
constexpr size_t kChunkFraming = 12;  // length, type, checksum

uint32_t ReadBigEndian(const uint8_t* bytes)
{
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

void FixChecksums(std::vector<uint8_t>& file)
{
    size_t chunk = kSignatureSize;
    while (chunk + kChunkFraming <= file.size()) {
        const size_t length = ReadBigEndian(&file[chunk]);
        if (length > file.size() - chunk - kChunkFraming) return;
        const uint8_t* typeAndData = &file[chunk + 4];
        const auto checksum = static_cast<uint32_t>(crc32(0, typeAndData, static_cast<uInt>(length + 4)));
        uint8_t* stored = &file[chunk + 8 + length];
        for (int i = 0; i < 4; ++i) stored[i] = static_cast<uint8_t>(checksum >> (24 - 8 * i));
        chunk += kChunkFraming + length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> file(data, data + size);
    if (file.size() > kSignatureSize) FixChecksums(file);
    fuzz::FuzzTexture(DecodePng, file.data(), file.size());
    return 0;
}
