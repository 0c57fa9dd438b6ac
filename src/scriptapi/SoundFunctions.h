#pragma once

struct lua_State;

// The game table's sound functions. The volumes are 0 to 1; values outside are clamped.

// PlaySpecialSound (name): plays the sound registered under the name once, from its beginning
// (a text argument: anything but a string or a number ends the calling script).
int ScriptPlaySpecialSound(lua_State* state);

// GetSoundVolume () -> the soundVolume setting.
int ScriptGetSoundVolume(lua_State* state);
// SetSoundVolume (x): stores the setting and applies it to every live sound.
int ScriptSetSoundVolume(lua_State* state);
// GetMusicVolume () -> the musicVolume setting.
int ScriptGetMusicVolume(lua_State* state);
// SetMusicVolume (x): stores the setting and hands it to the music.
int ScriptSetMusicVolume(lua_State* state);
