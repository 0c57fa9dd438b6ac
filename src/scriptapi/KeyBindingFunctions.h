#pragma once

struct lua_State;

// The game table's key-binding functions, over the input task's bindings (Actions.cfg). Without
// the input task they do nothing; GetActionNames then returns 0 and two empty tables.

// SetActions (enabled): whether keys send "key_action" commands; the frame delta becomes 0.
int ScriptSetActions(lua_State* state);
// SetAssignKey (): the next key is reported to the interface as a key assignment.
int ScriptSetAssignKey(lua_State* state);
// SetAction (action, key): binds the action to the key (a key name, "mlb", "mrb", "mwheel1" or
// "mwheel2"); the other action on that key gives it up. Nothing unless both are texts.
int ScriptSetAction(lua_State* state);
// GetActionNames () -> n, {key texts}, {label texts}: n the number of bound actions; the tables
// follow the action list (an action listed twice appears twice). The key names "undefined",
// "Space", "Enter", "mwheel1", "mwheel2", "mlb" and "mrb" and the labels "undefined", "Space"
// and "Enter" are shown as the texts of their lower-case keys; other names as they are.
int ScriptGetActionNames(lua_State* state);
// SaveActions (): writes the bindings to Actions.cfg and reads them back from it.
int ScriptSaveActions(lua_State* state);
