#pragma once
#include <cmath>
#include <cstdint>

// A number truncated toward zero into the 32-bit range: values beyond it give its ends, NaN 0.
inline int32_t TruncateToInt32(double number) {
    const double value = std::trunc(number);
    if (std::isnan(value)) return 0;
    if (value >= INT32_MAX) return INT32_MAX;
    if (value <= INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}
