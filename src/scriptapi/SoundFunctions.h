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

// PlaySpecialSound3D (name, x, y, z): the same, the sound first placed at (x, y, z), standing
// still (a 2D sound, or a position that is not finite, is not moved).
int ScriptPlaySpecialSound3D(lua_State* state);
// StopSounds (): stops and rewinds every registered sound and stops every live one.
int ScriptStopSounds(lua_State* state);
// PlayMusicNoLoop (name): asks the music for the track, without looping, and starts it.
int ScriptPlayMusicNoLoop(lua_State* state);
// GetMusicName () -> the name of the track the music opened last ("" before any).
int ScriptGetMusicName(lua_State* state);
