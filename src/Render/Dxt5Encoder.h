#pragma once
#include <cstdint>
#include <vector>

#include "Render/PImage.h"

// The game's own encoder: libsquish's range fit is slower and loses two-colour blocks whose
// colours differ across the grey axis (red and blue); its cluster fit takes some forty times as
// long for about 1 dB (bench/dxt5.cpp).
//
// Compresses one level of 32-bit pixels (0xAARRGGBB rows from the top) into DXT5 blocks,
// rows of 4 × 4 blocks from the top-left; texels of partial edge blocks repeat the edge.
std::vector<uint8_t> CompressDxt5(const uint8_t* pixels, uint32_t width, uint32_t height);

// Compresses every level of a 32-bit picture into DXT5.
void CompressImageDxt5(SPImage& image);
