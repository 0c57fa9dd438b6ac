#include "Render/ImageDecoders.h"

#include <cstring>

namespace {

bool StartsWith(const uint8_t* data, size_t size, const void* signature, size_t length)
{
    return size >= length && std::memcmp(data, signature, length) == 0;
}

}  // namespace

bool DecodeImage(const uint8_t* data, size_t size, SPImage& image, std::string& error)
{
    static constexpr uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    static constexpr uint8_t kJpeg[] = {0xFF, 0xD8, 0xFF};
    static constexpr uint8_t kDds[] = {'D', 'D', 'S', ' '};
    if (StartsWith(data, size, kPng, sizeof(kPng))) return DecodePng(data, size, image, error);
    if (StartsWith(data, size, kJpeg, sizeof(kJpeg))) return DecodeJpeg(data, size, image, error);
    if (StartsWith(data, size, kDds, sizeof(kDds))) return DecodeDds(data, size, image, error);
    return DecodeTga(data, size, image, error);
}
