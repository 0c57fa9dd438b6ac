#pragma once
#include <cstdint>

namespace platform::gfx {

// A rectangle of pixels: left and top inclusive, right and bottom exclusive, y down.
struct Rect {
    int32_t left, top, right, bottom;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

// The part of a render target that drawing reaches, with the depth range it maps to.
struct Viewport {
    int32_t x, y;           // top-left corner, pixels
    int32_t width, height;  // pixels
    float minZ, maxZ;
};

}  // namespace platform::gfx
