#include "scriptapi/PlayerCarFunctions.h"

#include <lua.hpp>

#include "game/PPlayerCar.h"
#include "script/ScriptHandles.h"
#include "scriptapi/ScriptArguments.h"

int ScriptSetCarParams(lua_State* state) {
    CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1);
    if (!car) return 0;
    car->SetControls(FiniteArgument(state, 2), FiniteArgument(state, 3));
    return 0;
}
