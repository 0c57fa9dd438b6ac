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

