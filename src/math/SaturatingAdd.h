#pragma once
#include <algorithm>
#include <cstdint>

// a + b, held at the ends of the int32_t range instead of overflowing.
inline int32_t SaturatingAdd(int32_t a, int32_t b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}
