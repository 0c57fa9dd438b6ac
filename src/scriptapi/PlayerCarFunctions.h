#pragma once

struct lua_State;

// SetCarParams (car, throttle, steering): the driver's input for the player car (see
// CPPlayerCar::SetControls). Nothing when car is not a live player car; a throttle or steering
// that is not a finite number counts as 0 (game table).
int ScriptSetCarParams(lua_State* state);

// The weapon functions of the interface table; each does nothing when car is not a live player
// car. SetShot (car, held) and SetMineShot (car, held): pull or release the main trigger and the
// mine trigger (CPPlayerCar::SetFireTrigger, SetMineTrigger).
int ScriptSetShot(lua_State* state);
int ScriptSetMineShot(lua_State* state);
// SetCurrentWeapon (car, name): the car's child object of that name becomes its weapon model
// (none when there is no such child); name must be a string or a number (a Lua argument error
// otherwise).
int ScriptSetCurrentWeapon(lua_State* state);
// SetPrevWeapon (car) and SetNextWeapon (car): select the previous or next armed slot and mount it.
int ScriptSetPrevWeapon(lua_State* state);
int ScriptSetNextWeapon(lua_State* state);
