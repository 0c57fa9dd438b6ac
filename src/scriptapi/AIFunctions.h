#pragma once

struct lua_State;

// The enemy, mission and check-point functions of the game table. Without a level each does
// nothing and gives its empty results.

// LoadMissionInfo (name): reads the mission's check-point tables and spawn sources
// (CPGameData::LoadMissionInfo).
int ScriptLoadMissionInfo(lua_State* state);
// GetCheckPointsCount (): the number of the mission's check points.
int ScriptGetCheckPointsCount(lua_State* state);
// GetCheckPointInfo (i): param2, param3, param4, param1 of check point i (from 0); nothing for
// an i outside the table.
int ScriptGetCheckPointInfo(lua_State* state);
// GetEnemyType (n, useSources): kind ("" for none), found, x, y (ChooseEnemyType).
int ScriptGetEnemyType(lua_State* state);
// IsEnemySourceNear (flag, n): whether a source of check point n with that flag is 60 to 70 units
// from the car.
int ScriptIsEnemySourceNear(lua_State* state);
// GetPositionForEnemy (kind, ignored, centre, cx, cy): success, x, y (FindPositionForEnemy); a
// third argument that is a string or a number asks for the square around (cx, cy).
int ScriptGetPositionForEnemy(lua_State* state);
// AddEnemy (kind, x, y): spawns an enemy of the kind there; nothing, logged, for a kind without
// a prototype or model.
int ScriptAddEnemy(lua_State* state);
// GetEnemyData (name): the enemy record's five values (number, string, number, string, string);
// an unknown name gets an empty record, which is added. The name must be a string or number.
int ScriptGetEnemyData(lua_State* state);
// GetAICount (): the number of live enemies.
int ScriptGetAICount(lua_State* state);
// DumpAIInfo (): writes each live enemy's kind and state to the log.
int ScriptDumpAIInfo(lua_State* state);
