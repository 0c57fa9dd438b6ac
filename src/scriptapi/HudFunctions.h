#pragma once

struct lua_State;

// The interface table's HUD functions. An interface argument counts only while it names a live
// interface screen; anything else makes a function do nothing and return its empty results.

// UpdateGameInterface (interface): redraws the HUD from the level, the car and the game data:
// the selected weapon and its upgrade points, the super weapon, life and mines as texts, the
// weapon's cursor, and blinking arrows on the screen's border toward the next check point and
// toward the current targets when they are off screen. Nothing while the camera zooms
// orthographically or without a level.
int ScriptUpdateGameInterface(lua_State* state);
// InitGameInterface (interface): nothing.
int ScriptInitGameInterface(lua_State* state);
// SetCursor (interface, name): the screen's cursor of that name becomes the one shown.
int ScriptSetCursor(lua_State* state);
// GetCursor (interface) -> the name of the screen's current cursor ("" without one).
int ScriptGetCursor(lua_State* state);
// EngineState (interface, flag): shows or hides the window named after the committed engine.
int ScriptEngineState(lua_State* state);
// GetWindowPosition (interface, name) -> x, y of the window; 0, 0 when there is none.
int ScriptGetWindowPosition(lua_State* state);
// GetTextPosition (interface, name) -> x, y of the text; 0, 0 when there is none.
int ScriptGetTextPosition(lua_State* state);
