#include "script/ScriptNumbers.h"

#include <lua.hpp>

#include "math/Truncate.h"

int32_t IntArgument(lua_State* state, int index) { return TruncateToInt32(lua_tonumber(state, index)); }

int ScriptToInt(lua_State* state) {
    lua_pushnumber(state, IntArgument(state, 1));
    return 1;
}
