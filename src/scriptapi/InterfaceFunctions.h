#pragma once

struct lua_State;

// The game table's interface, window and text functions, and the small utilities beside them.
// An interface argument counts only while it names a live interface screen: anything else (nil,
// a stale or forged handle, another object) makes a function do nothing and return its empty
// results. Windows and texts are found by name; an unknown name does nothing. None of them
// rebuild a screen's quads: scripts call UpdateInterfaceBuffers after changing windows.

// CreateInterface (name, variant) -> a new screen loaded from Data\Interface\<name>1024.int
// (a missing file gives an empty screen); the script holds it until it calls Release.
int ScriptCreateInterface(lua_State* state);
// ActivateInterface (interface): the screen follows the mouse and its script runs (priority 450).
int ScriptActivateInterface(lua_State* state);
// UpdateInterface (interface): draws the screen this frame with its children, and its light
// when the frame has room for one more.
int ScriptUpdateInterface(lua_State* state);
// UpdateInterfaceBuffers (interface): rebuilds the screen's quads.
int ScriptUpdateInterfaceBuffers(lua_State* state);
// SetWindowVisible (interface, window, visible); a button returns to its normal look.
int ScriptSetWindowVisible(lua_State* state);
// SetWindowPosition (interface, window, x, y).
int ScriptSetWindowPosition(lua_State* state);
// SetWindowPositionShop (interface, window, x, y): at (x - 0.5, y - 0.5), as layouts place windows.
int ScriptSetWindowPositionShop(lua_State* state);
// SetWindowSize (interface, window, w, h): the window's quad becomes w × h.
int ScriptSetWindowSize(lua_State* state);
// SetTextPosition (interface, text, x, y): where the text is built next.
int ScriptSetTextPosition(lua_State* state);
// SetText (interface, text, string): builds the text anew.
int ScriptSetText(lua_State* state);
// SetTextString (interface, text, key): builds the text anew with the text of the key in
// Data\strings.txt (a missing key is added with an empty text).
int ScriptSetTextString(lua_State* state);

// GetString (key) -> the text of the key in Data\strings.txt (a missing key is added, "").
int ScriptGetString(lua_State* state);
// GetChar (code) -> the one-byte string of the code's low 8 bits; "" for 0.
int ScriptGetChar(lua_State* state);
// SaveLog (text): nothing.
int ScriptSaveLog(lua_State* state);
// IsFileExists (path) -> whether the game path names a regular file on disk inside the game's
// folder (data packs are not searched).
int ScriptIsFileExists(lua_State* state);
// GoURL (path): a shortcut file inside the game's folder whose "URL=" line holds a web address
// has that address shown by the desktop; anything else is refused (and logged).
int ScriptGoURL(lua_State* state);
// GetTextureSize (path) -> width, height of the image file (disk or data packs); 0, 0 when it
// cannot be read or decoded.
int ScriptGetTextureSize(lua_State* state);
