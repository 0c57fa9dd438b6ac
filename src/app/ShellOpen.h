#pragma once
#include <string>

// Opens a file, a program or a web address the way the desktop opens it (xdg-open), without
// waiting for it. The file is a web address or a game path inside the folder (both written
// Windows-style in any case; an empty folder is the working folder). The result is ignored:
// nothing happens when there is no desktop to ask.
void ShellOpen(const std::string& folder, const std::string& file);
