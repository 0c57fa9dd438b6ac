#include "image.h"

namespace fuzz {

namespace {

// Pictures up to this many pixels also go through the preparation; larger ones would make each
// run slow without reaching other code.
constexpr uint64_t kPreparedPixels = 512 * 512;

}  // namespace

void FuzzTexture(ImageDecoder decode, const uint8_t* data, size_t size)
{
    SPImage image;
    std::string error;
    if (!decode(data, size, image, error)) return;
    if (uint64_t{image.width} * image.height > kPreparedPixels) return;
    // The byte count chooses the device's largest side and the dxt5 setting, so both paths run.
    const uint32_t maxSide = size % 3 == 0 ? 16 : kMaxImageSide;
    PrepareImage(image, maxSide, size % 2 == 0);
}

}  // namespace fuzz
