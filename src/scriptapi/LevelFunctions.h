#pragma once

struct lua_State;

// The level's life cycle, for the scripts (game table). A level moves from loaded to running to
// stopped; it starts once.

// InitLevel (name): a new level loaded from Data\Levels\<name>.lvl; a level that exists is
// deleted first. A name that does not load (or is no plain file name) gives a level without
// contents, safe in every function.
int ScriptInitLevel(lua_State* state);
// StartLevel (): starts the level (CPLevel::Start); nothing without one, or when it was started
// before.
int ScriptStartLevel(lua_State* state);
// StopLevel (): stops the running level (CPLevel::Stop); it then awaits DeleteLevel.
int ScriptStopLevel(lua_State* state);
// DeleteLevel (): deletes the level, stopping it first when it runs; nothing without one.
int ScriptDeleteLevel(lua_State* state);

// SetLevelTime (t): the level's time left becomes t × the game data's level time factor.
int ScriptSetLevelTime(lua_State* state);
// ChangeCheckpointPosition (x, y): the shown check point moves to (x, y, 0).
int ScriptChangeCheckpointPosition(lua_State* state);
// StopScript (task): the task leaves the kernel at its next turn; nothing for what is no task.
int ScriptStopScript(lua_State* state);
// ShowCheckPoint () (interface table): the level shows its next check point.
int ScriptShowCheckPoint(lua_State* state);
