#pragma once

struct lua_State;

// SetDefaultCamera (): a new perspective camera (field of view 10 degrees, clip distances 10 and
// 500, at the origin looking along +z) on render layer 19. Nothing without a renderer.
int ScriptSetDefaultCamera(lua_State* state);

// SetCameraPos (x, y, z): the point the level's chase camera follows; coordinates that are not
// finite count as 0. Nothing without a level.
int ScriptSetCameraPos(lua_State* state);
// SetCameraZAngle (a): the chase camera's heading about z, radians; a value that is not finite
// (or a number at all) is refused. Nothing without a level.
int ScriptSetCameraZAngle(lua_State* state);

// GetRotateDirection (a, b, dx, dy) -> turn, aligned: the turn (radians) from the player's
// heading toward the screen direction (dx, dy) (both truncated toward zero; y down), 0 below
// 0.01; aligned while the turn is below 0.5. a and b are not used. With a level, three yellow
// debug lines show the obstacle probe 6 units long from the player car: straight along the
// turned heading and 15 degrees to either side (interface table).
int ScriptGetRotateDirection(lua_State* state);
