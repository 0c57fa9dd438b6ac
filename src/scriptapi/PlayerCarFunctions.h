#pragma once

struct lua_State;

// SetCarParams (car, throttle, steering): the driver's input for the player car (see
// CPPlayerCar::SetControls). Nothing when car is not a live player car; a throttle or steering
// that is not a finite number counts as 0 (game table).
int ScriptSetCarParams(lua_State* state);
