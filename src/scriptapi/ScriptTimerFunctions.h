#pragma once

struct lua_State;

// The frame timer's script functions, for the game table.

// StopGlobalTimer (): stops the frame timer (it leaves the kernel at its next turn); delta 0.
int ScriptStopGlobalTimer(lua_State* state);
// StartGlobalTimer (): adds the frame timer to the kernel again.
int ScriptStartGlobalTimer(lua_State* state);
// ClearTimer (): frame delta 0, time scale 1.
int ScriptClearTimer(lua_State* state);
// ClearGlobalTimer (): as ClearTimer, and sounds play at their own rate again (frequency factor 1).
int ScriptClearGlobalTimer(lua_State* state);
// IsTimerStopped () -> boolean: whether the frame timer is stopped.
int ScriptIsTimerStopped(lua_State* state);
