#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "Render/PImage.h"

namespace fuzz {

using ImageDecoder = bool (*)(const uint8_t* data, size_t size, SPImage& image, std::string& error);

// A texture file through one decoder, then, when it decodes, through the preparation the texture
// loader gives it before the device gets it.
void FuzzTexture(ImageDecoder decode, const uint8_t* data, size_t size);

}  // namespace fuzz
