#include "scriptapi/ScriptArguments.h"

#include <lua.hpp>

#include <cmath>
#include <cstdint>
#include <limits>

float FiniteArgument(lua_State* state, int index)
{
    const double value = lua_tonumber(state, index);
    const bool fits = std::fabs(value) <= std::numeric_limits<float>::max();  // false for NaN
    return fits ? static_cast<float>(value) : 0.0f;
}

int IntegerArgument(lua_State* state, int index)
{
    const double value = std::trunc(lua_tonumber(state, index));
    const bool fits = value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
    return fits ? static_cast<int>(value) : 0;
}
