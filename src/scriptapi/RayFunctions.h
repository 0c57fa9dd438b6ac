#pragma once

struct lua_State;

// The scripts' segment tests against the level (game table).

// CrossPlayerRay (x, y, z, dx, dy, dz) -> clear, vx, vy, vz: the segment from (x, y, z) along
// (dx, dy, dz), as long as that vector, tested without the player car. Clear (true) gives the
// vector back; a hit gives its unit direction. Without a level: false and the unit direction.
// A zero (or not finite) vector, or a start that is not finite, is no segment: true and
// (0, 0, 0).
int ScriptCrossPlayerRay(lua_State* state);

// CrossInterfaceRay (sx, sy) -> hit, object, x, y, 0: the view ray through the screen point
// (0..1 each, y down) tested against the level with its enemies; the object hit (its owner, or
// the null handle) and where the view ray crosses the ground z = 0. A view ray that never
// crosses the ground gives the eye's x and y. Without a level: false, null, 0, 0, 0.
int ScriptCrossInterfaceRay(lua_State* state);
