#include "scriptapi/PlayerCarFunctions.h"

#include <lua.hpp>

#include <string>

#include "game/PPlayerCar.h"
#include "script/ScriptHandles.h"
#include "scriptapi/ScriptArguments.h"

int ScriptSetCarParams(lua_State* state) {
    CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1);
    if (!car) return 0;
    car->SetControls(FiniteArgument(state, 2), FiniteArgument(state, 3));
    return 0;
}

int ScriptSetShot(lua_State* state) {
    if (CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1)) car->SetFireTrigger(lua_toboolean(state, 2) != 0);
    return 0;
}

int ScriptSetMineShot(lua_State* state) {
    if (CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1)) car->SetMineTrigger(lua_toboolean(state, 2) != 0);
    return 0;
}

int ScriptSetCurrentWeapon(lua_State* state) {
    size_t length = 0;
    const char* name = luaL_checklstring(state, 2, &length);
    if (CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1)) car->weaponModel = car->FindChild(std::string(name, length));
    return 0;
}

int ScriptSetPrevWeapon(lua_State* state) {
    if (CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1)) car->SelectPrevWeapon();
    return 0;
}

int ScriptSetNextWeapon(lua_State* state) {
    if (CPPlayerCar* car = ToObject<CPPlayerCar>(state, 1)) car->SelectNextWeapon();
    return 0;
}
