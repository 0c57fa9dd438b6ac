#pragma once
#include <string>

// What the launcher's two start buttons do: set fullScreen to the choice and save
// "config.cfg" (so a missing file is created with the defaults). False, with the reason in
// error, when the working folder holds no game data (no script list; nothing is written then)
// or the file cannot be written: the game then does not start.
bool SaveStartChoice(bool fullScreen, std::string& error);

// The same for a start from the command line: load "config.cfg" first.
bool ApplyStartChoice(bool fullScreen, std::string& error);
