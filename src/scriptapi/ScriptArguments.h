#pragma once

struct lua_State;

// The argument at the stack index as a float; 0 for what is no finite float (nil, text, NaN,
// infinities, 1e308).
float FiniteArgument(lua_State* state, int index);
