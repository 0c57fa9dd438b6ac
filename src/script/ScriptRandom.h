#pragma once

struct lua_State;

// Replaces math.random and math.randomseed of a state (after its math library is open) with
// versions over the game's own generator (platform/Random.h), so scripts draw from the same
// sequence as the rest of the game. They behave as Lua's own: random() in [0, 1), random(u) in
// [1, u], random(l, u) in [l, u].
void RouteRandom(lua_State* state);
