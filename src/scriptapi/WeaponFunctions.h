#pragma once

struct lua_State;

// The game table's functions that bring weapon objects into play. Each spawns through the
// weapons system with the definition's damage, no source and the super flag clear; a name
// without a prototype spawns nothing. Numbers that are no finite float count as 0.

// Shot (name, object, px, py, pz, vx, vy, vz): spawns the named prototype at the object's point
// (px, py, pz), aimed along its vector (vx, vy, vz), both taken to the world and laid flat on the
// ground (z = 0, the direction a unit vector or zero). Nothing without a live scene object; a
// name that is no string is a Lua argument error.
int ScriptShot(lua_State* state);
// SetBonus (x, y, i): with the chance table of check point i (0-based) of the mission, may drop a
// bonus at (x, y, 0), direction (x, y, 0) (see BonusDraw.h); "laser_u" only while the player's
// set-up can still be upgraded. Nothing for an index outside the mission's check points.
int ScriptSetBonus(lua_State* state);
// SetBonus2 (x, y, name): spawns the named prototype at (x, y, 0), direction (x, y, 0).
int ScriptSetBonus2(lua_State* state);
// SmartBomb (): while a level runs with the player's car and the committed set-up holds a
// super-weapon charge, fires the set-up's super weapon from the car along its heading, spends
// the charge and tells the script "gamemenu" ("update_game_interface"). Nothing otherwise.
int ScriptSmartBomb(lua_State* state);
