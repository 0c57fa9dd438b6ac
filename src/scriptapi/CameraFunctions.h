#pragma once

struct lua_State;

// SetDefaultCamera (): a new perspective camera (field of view 10 degrees, clip distances 10 and
// 500, at the origin looking along +z) on render layer 19. Nothing without a renderer.
int ScriptSetDefaultCamera(lua_State* state);
