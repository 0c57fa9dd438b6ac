#pragma once

struct lua_State;

// The interface table's score functions: the high-score table (lines 0 to 11, the best first) and
// the score of the current game. Without the game data they do nothing and return nothing.

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
