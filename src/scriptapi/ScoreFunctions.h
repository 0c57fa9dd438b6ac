#pragma once

struct lua_State;

// The interface table's score functions: the high-score table (lines 0 to 11, the best first), the
// score of the current game and the counters a screen shows. Without the game data the table
// functions do nothing and return nothing.

// AddScore (score) -> the 0-based line the score takes, the lines below moved down one (the line
// itself is left for SetScoreLine), or -1 when it does not beat the last line.
int ScriptAddScore(lua_State* state);
// GetScore () -> the score of the current game (its kills).
int ScriptGetScore(lua_State* state);
// IsInTable (score) -> whether the score beats the last line.
int ScriptIsInTable(lua_State* state);
// SetScoreLine (name, score, line): the line becomes {name, score} (the name "noname" becomes the
// text of "noname") and the table is saved. A name that is no text, or a line outside 0 to 11,
// changes nothing.
int ScriptSetScoreLine(lua_State* state);
// GetScoreLine (line) -> the name and score of the line; "" and 0 outside 0 to 11.
int ScriptGetScoreLine(lua_State* state);

// The counters: each writes a text of a live screen (interface), skipped when the screen lacks it.
// UpdateScore (interface, value): the text "score" shows trunc(value) as six digits ("000123").
int ScriptUpdateScore(lua_State* state);
// UpdateScore2 (interface, value): the text "score2" shows trunc(value) as three digits ("007").
int ScriptUpdateScore2(lua_State* state);
// UpdateTime (interface): while a level exists, the text "time" shows the level's time left as
// "mm:ss" (not clamped at zero: -1 s shows "00:-1"), and the screen's quads are rebuilt.
int ScriptUpdateTime(lua_State* state);
