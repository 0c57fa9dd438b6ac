#pragma once

struct lua_State;

// Numbers the game functions read from their arguments.

// The argument as a float; 0 for what is no finite float (nil, text, NaN, infinities, 1e308).
float FiniteArgument(lua_State* state, int index);
// The argument truncated to an int; 0 for what is no number within the int range.
int IntegerArgument(lua_State* state, int index);
