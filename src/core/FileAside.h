#pragma once
#include <string>

// Moves the disk file a game path names out of the way, to "<name>.refused" beside it (or
// ".refused2", ".refused3"... when that name is taken; nothing is ever renamed over), so that a
// file the game could not read is kept for its owner instead of being written over. The new
// disk path, or "" when there is no such disk file or it cannot be moved.
std::string KeepAside(const std::string& gamePath);
