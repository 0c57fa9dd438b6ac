#include "scriptapi/PlayerCarFunctions.h"

#include <lua.hpp>

#include <cmath>
#include <limits>

#include "game/PPlayerCar.h"
#include "script/ScriptHandles.h"

namespace {

// The argument as a float; 0 for what is no finite float (nil, text, NaN, infinities, 1e308).
float FiniteArgument(lua_State* state, int index) {
    const double value = lua_tonumber(state, index);
    const bool fits = std::fabs(value) <= std::numeric_limits<float>::max();  // false for NaN
    return fits ? static_cast<float>(value) : 0.0f;
}

}  // namespace

int ScriptSetCarParams(lua_State* state) {
    CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1);
    if (!car) return 0;
    car->SetControls(FiniteArgument(state, 2), FiniteArgument(state, 3));
    return 0;
}
