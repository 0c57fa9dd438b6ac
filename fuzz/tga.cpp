// TGA textures: the decoder the texture loader picks for them, then the preparation.
#include "Render/ImageDecoders.h"
#include "image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzTexture(DecodeTga, data, size);
    return 0;
}
