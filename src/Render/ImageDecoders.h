#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "Render/PImage.h"

// Texture file readers. Each fills image with level 0 only (DDS: the levels the file holds) or
// returns false with the reason in error. Every read is bounded by size; pictures larger than
// kMaxImageSide are refused.

// Picks the reader by the file's content: PNG, JPEG and DDS by their signatures; anything else
// must be a valid TGA.
bool DecodeImage(const uint8_t* data, size_t size, SPImage& image, std::string& error);

bool DecodePng(const uint8_t* data, size_t size, SPImage& image, std::string& error);
bool DecodeJpeg(const uint8_t* data, size_t size, SPImage& image, std::string& error);
bool DecodeTga(const uint8_t* data, size_t size, SPImage& image, std::string& error);
bool DecodeDds(const uint8_t* data, size_t size, SPImage& image, std::string& error);
