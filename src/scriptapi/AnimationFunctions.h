#pragma once

struct lua_State;

// StartAnimation (object, name, loops, listener): plays the vertex animation of that name on the
// scene object and its descendants at its own speed, loops times (below 1: endlessly), telling the
// listener script of its events (none when listener is no script). An animation already playing
// goes on. Nothing when object is no scene object or name no text (interface table).
int ScriptStartAnimation(lua_State* state);
