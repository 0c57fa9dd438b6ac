#pragma once

#include "interface/PInterface.h"
#include "script/ScriptHandles.h"

struct lua_State;

// A screen argument: the live screen at the handle's address, or null for anything else (no
// handle, a stale or forged one, another object).
inline CPInterface* InterfaceArgument(lua_State* state, int index) {
    return CPInterface::FindLive(ToObject(state, index));
}
