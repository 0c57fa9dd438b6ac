#pragma once

struct lua_State;

// SetCarParams (car, throttle, steering): the driver's input for the player car (see
// CPPlayerCar::SetControls). Nothing when car is not a live player car; a throttle or steering
// that is not a finite number counts as 0 (game table).
int ScriptSetCarParams(lua_State* state);

// SetWeaponPos (x, y, z, object): with a level, the aim point and the aimed object (or none) go
// to the player car (CPLevel::SetWeaponPos). Coordinates that are not finite count as 0.
int ScriptSetWeaponPos(lua_State* state);

// GetPlayerPosition () -> x, y: the player car's; 0, 0 without a level or a car.
int ScriptGetPlayerPosition(lua_State* state);

// SetFullMines (): the car's mine store gains what 100 mines take from it, up to full. Nothing
// without a car, or for a store of no size.
int ScriptSetFullMines(lua_State* state);
