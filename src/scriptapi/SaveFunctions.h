#pragma once

struct lua_State;

// The game table's save-game functions, over CPGameData's saves (DATA\Saves). A name that is no
// text, or no plain file name, does nothing (logged).

// SaveGame (name) -> whether it was written: saves the game under the name (save1.sav to
// save13.sav; save13.sav is the autosave).
int ScriptSaveGame(lua_State* state);
// LoadGame (name): restores the save of that name when it is whole; otherwise nothing changes.
int ScriptLoadGame(lua_State* state);
// GetSaves () -> 13, {the descriptions of save1.sav to save13.sav}, "" for a slot without a
// save that loads.
int ScriptGetSaves(lua_State* state);
