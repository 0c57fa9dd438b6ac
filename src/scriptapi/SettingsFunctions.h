#pragma once

struct lua_State;

// The game table's functions of the mouse, brightness, difficulty and screen settings. They
// change the settings variables at once; config.cfg gets them when the settings are saved.

// GetMouse () -> the mouse setting.
int ScriptGetMouse(lua_State* state);
// SetMouse (x): the mouse setting = x.
int ScriptSetMouse(lua_State* state);
// GetBrightness () -> the brightness setting.
int ScriptGetBrightness(lua_State* state);
// SetBrightness (x): the brightness setting = x, at least 0.05 (the display is not changed).
int ScriptSetBrightness(lua_State* state);
// SetDifficulty (n): the difficulty setting = n truncated toward zero.
int ScriptSetDifficulty(lua_State* state);
// GetDifficulty () -> true when the difficulty setting is not 0 (interface table).
int ScriptGetDifficulty(lua_State* state);
// GetCurrentResolution () -> screenWidth, screenHeight.
int ScriptGetCurrentResolution(lua_State* state);
