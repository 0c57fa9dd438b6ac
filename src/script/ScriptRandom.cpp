#include "script/ScriptRandom.h"

#include <lua.hpp>

#include <cmath>

#include "platform/Random.h"

namespace {

int Random(lua_State* state) {
    const lua_Number r = static_cast<lua_Number>(platform::Rand() % platform::kRandMax) / platform::kRandMax;
    switch (lua_gettop(state)) {
    case 0:
        lua_pushnumber(state, r);
        return 1;
    case 1: {
        const int upper = luaL_checkint(state, 1);
        luaL_argcheck(state, 1 <= upper, 1, "interval is empty");
        lua_pushnumber(state, std::floor(r * upper) + 1);
        return 1;
    }
    case 2: {
        const int lower = luaL_checkint(state, 1);
        const int upper = luaL_checkint(state, 2);
        luaL_argcheck(state, lower <= upper, 2, "interval is empty");
        lua_pushnumber(state, std::floor(r * (static_cast<lua_Number>(upper) - lower + 1)) + lower);
        return 1;
    }
    default:
        return luaL_error(state, "wrong number of arguments");
    }
}

int RandomSeed(lua_State* state) {
    platform::Srand(static_cast<unsigned int>(luaL_checkint(state, 1)));
    return 0;
}

}  // namespace

void RouteRandom(lua_State* state) {
    lua_getglobal(state, LUA_MATHLIBNAME);
    lua_pushcfunction(state, Random);
    lua_setfield(state, -2, "random");
    lua_pushcfunction(state, RandomSeed);
    lua_setfield(state, -2, "randomseed");
    lua_pop(state, 1);
}
