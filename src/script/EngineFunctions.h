#pragma once
#include <cstdint>
#include <string>

class IPMMObject;

struct lua_State;
struct luaL_Reg;

// The engine table: the engine's script functions, registered in every script state before the
// game's tables, in this order, ended by an entry without a name. Each takes its arguments from
// the Lua stack, pushes its results and returns their number.
//
// Text arguments must be strings or numbers (anything else ends the calling script with an
// argument error); handle arguments that are null, stale, forged or of the wrong class make a
// function do nothing (ScriptHandles.h).
const luaL_Reg* GetEngineFunctions();

// An int argument: the number truncated toward zero into the 32-bit range (not a number: 0).
int32_t IntArgument(lua_State* state, int index);

// ToInt (number) -> the number truncated toward zero to a 32-bit integer, clamped to its range
// (not a number: 0). The game table registers it as "GetInt".
int ScriptToInt(lua_State* state);

// DeactivateObject (object): takes the scene object out of the world (null: nothing). The game
// table registers it as "DeactivateInterface".
int ScriptDeactivateObject(lua_State* state);

// What LockButton and UnlockButton do to an element of an interface screen (null, stale or
// non-screen handles included); the interface installs it at start-up. Without it they do
// nothing.
class IPElementLocks {
public:
    virtual ~IPElementLocks() = default;
    virtual void SetElementLocked(IPMMObject* screen, const std::string& element, bool locked) = 0;
};
// Installs the handler (null: none); not owned.
void SetElementLocks(IPElementLocks* locks);
