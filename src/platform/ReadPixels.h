#pragma once
#include <cstdint>
#include <vector>

namespace platform {

// Reads a rectangle of the current window's back buffer (what the frame drew before
// SwapBuffers). x and y count from the top-left corner, as screen coordinates do; the result
// holds w * h pixels row by row from the top, each 0xAARRGGBB. Parts outside the window read
// as 0. Needs the window's GL context to be current.
std::vector<uint32_t> ReadPixels(int32_t x, int32_t y, int32_t w, int32_t h);

}  // namespace platform
