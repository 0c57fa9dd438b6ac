#pragma once

struct lua_State;

// The interface table's direction functions, for the car's automatic turning. Angles are radians
// about z; a screen direction (dx, dy) has y down, and both are truncated toward zero first.

// GetPlayerDirection () -> the level's player heading brought into [0, 2 pi] (2 pi itself
// stays); 0 without a level, and for a heading that is not finite.
int ScriptGetPlayerDirection(lua_State* state);

// GetMoveDirection (dx, dy) -> the heading of the direction in [0, 2 pi]: 0 for (0, -1), pi/2
// for (1, 0), 3 pi/2 for (-1, 0); pi/2 for the zero direction.
int ScriptGetMoveDirection(lua_State* state);

// GetRotateDirection (a, b, dx, dy) -> turn, aligned: the turn from the player's heading toward
// the direction, 0 below 0.01; aligned while it is below 0.5. a and b are not used. With a level,
// three probe rays 6 units long leave the player car along the turned heading and 15 degrees to
// either side (drawn as yellow debug lines); when the middle one hits the level, the car is not
// aligned and the turn bends 15 degrees toward the first clear side ray (the +15 one first), or
// 30 degrees the other way when both are blocked.
int ScriptGetRotateDirection(lua_State* state);
