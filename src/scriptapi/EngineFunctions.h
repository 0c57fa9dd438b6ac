#pragma once

struct lua_State;
struct luaL_Reg;

// The engine table: the engine's script functions, registered in every script state before the
// game's tables, in this order, ended by an entry without a name (RegisterGameFunctionTables
// hands it to the script host). Each takes its arguments from the Lua stack, pushes its results
// and returns their number.
//
// Text arguments must be strings or numbers (anything else ends the calling script with an
// argument error); handle arguments that are null, stale, forged or of the wrong class make a
// function do nothing (script/ScriptHandles.h).
const luaL_Reg* GetEngineFunctions();

// DeactivateObject (object): takes the scene object out of the world (null: nothing). The game
// table registers it as "DeactivateInterface".
int ScriptDeactivateObject(lua_State* state);
