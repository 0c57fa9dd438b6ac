#pragma once
#include <string>
#include <vector>

struct lua_State;

// Reading the arguments of the game's script functions and pushing their results, beyond
// IntArgument (script/ScriptNumbers.h) and ToObject (script/ScriptHandles.h).

// A text argument: a string, or a number as its text. False (text untouched) for any other
// value, which yields no string.
bool TextArgument(lua_State* state, int index, std::string& text);

// A number argument as a float: numbers beyond the float range become an infinity of their sign,
// NaN stays NaN, what is no number reads 0.
float FloatArgument(lua_State* state, int index);
// The same, 0 for what is no finite float (nil, text, NaN, infinities, 1e308).
float FiniteArgument(lua_State* state, int index);
// The argument as a finite float in value; false (value untouched) for anything else.
bool ReadFiniteArgument(lua_State* state, int index, float& value);

// Pushes a table holding the texts at keys 1 to their count.
void PushTextTable(lua_State* state, const std::vector<std::string>& texts);
// Pushes the count and then a table holding the texts at keys 1 to count.
int PushTextArray(lua_State* state, const std::vector<std::string>& texts);
