#pragma once
#include <lua.hpp>

#include <cmath>
#include <limits>

// The argument as a float; 0 for what is no finite float (nil, text, NaN, infinities, 1e308).
inline float FiniteArgument(lua_State* state, int index) {
    const double value = lua_tonumber(state, index);
    const bool fits = std::fabs(value) <= std::numeric_limits<float>::max();  // false for NaN
    return fits ? static_cast<float>(value) : 0.0f;
}
