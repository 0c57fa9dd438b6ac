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

// The interface table's player-car functions. "car" is the handle of the player's car; anything
// else (nil, a stale or forged handle, another object) makes them do nothing.

// DamagePlayer (car, amount) -> whether the car is still alive (CPPlayerCar::ApplyDamage); true
// without a car. An amount that is NaN does nothing.
int ScriptDamagePlayer(lua_State* state);
// KillPlayer (car): the car dies (CPPlayerCar::Kill).
int ScriptKillPlayer(lua_State* state);
// PlayerShot (): does nothing.
int ScriptPlayerShot(lua_State* state);
// Jump (car, x, y, z): an impulse of (3x, 3y, 3z) on the car's rigid body at the car's position;
// nothing when the car has no rigid body or the impulse is not finite.
int ScriptJump(lua_State* state);
// IsRigid (object) -> whether the scene object has a rigid body.
int ScriptIsRigid(lua_State* state);
// FindObject (object, name) -> the object's child of that name at any depth (CPGameObject::
// FindChild), or the null handle. A name that is no text ends the calling script.
int ScriptFindObject(lua_State* state);
// GetRealCarInfo () -> the eleven values of the committed set-up, in the order of GetCarInfo.
int ScriptGetRealCarInfo(lua_State* state);

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
