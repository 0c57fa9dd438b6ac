#pragma once
#include <cstdint>

struct lua_State;

// An int argument: the number truncated toward zero into the 32-bit range (not a number: 0).
int32_t IntArgument(lua_State* state, int index);

// ToInt (number) -> the number truncated toward zero to a 32-bit integer, clamped to its range
// (not a number: 0). The engine table registers it as "ToInt", the game table as "GetInt".
int ScriptToInt(lua_State* state);
