#pragma once
#include <string>

// Reads an environment switch that names a file of the game's folder (a game path, as
// PathResolver.h resolves it): path is its value, "" when it is not set. False, with the reason,
// when it is set to nothing or to a name starting with '/', which would leave the folder.
bool ReadGameFileSwitch(const char* name, std::string& path, std::string& error);
