#pragma once

struct lua_State;

// PlayVideo(name): prepares Data\Video\<name> in the video player and adds the player to the
// kernel with priority 400, which starts the video (a name that is not a string or number is a
// Lua argument error). A video that cannot be played is logged; "video" then stays the built-in
// texture and the player, added all the same, shows nothing.
int ScriptPlayVideo(lua_State* state);
// StopVideo(): stops the video player; the kernel then removes its task.
int ScriptStopVideo(lua_State* state);
