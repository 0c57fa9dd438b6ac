#pragma once
#include <cstdint>

namespace platform::gfx {

// A colour of four floats, nominally 0..1 (lights may exceed 1).
struct ColorValue {
    float r, g, b, a;

    bool operator==(const ColorValue&) const = default;
};

// 0xAARRGGBB to four floats.
inline ColorValue ColorFromArgb(uint32_t argb)
{
    return {static_cast<float>((argb >> 16) & 0xFFu) / 255.0f, static_cast<float>((argb >> 8) & 0xFFu) / 255.0f,
            static_cast<float>(argb & 0xFFu) / 255.0f, static_cast<float>(argb >> 24) / 255.0f};
}

}  // namespace platform::gfx
