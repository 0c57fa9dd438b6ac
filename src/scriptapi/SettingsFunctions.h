#pragma once

struct lua_State;

// The game table's functions of the mouse, brightness, difficulty and screen settings. They
// change the settings variables at once; config.cfg gets them when the settings are saved.

// GetMouse () -> the mouse setting.
int ScriptGetMouse(lua_State* state);
// SetMouse (x): the mouse setting = x; a value that is no finite float changes nothing.
int ScriptSetMouse(lua_State* state);
// GetBrightness () -> the brightness setting.
int ScriptGetBrightness(lua_State* state);
// SetBrightness (x): the brightness setting = x, at least 0.05 (the display is not changed).
int ScriptSetBrightness(lua_State* state);
// SetDifficulty (n): the difficulty setting = n truncated toward zero.
int ScriptSetDifficulty(lua_State* state);
// GetDifficulty () -> true when the difficulty setting is not 0 (interface table).
int ScriptGetDifficulty(lua_State* state);
// GetDifficult () -> 1 in hard mode, else 0 (the game data's flag).
int ScriptGetDifficult(lua_State* state);
// SetDifficult (flag): hard mode on or off, and the difficulty coefficients reloaded for it
// (interface table).
int ScriptSetDifficult(lua_State* state);
// GetCurrentResolution () -> screenWidth, screenHeight.
int ScriptGetCurrentResolution(lua_State* state);
