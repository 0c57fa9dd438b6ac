#pragma once
#include <string>
#include <vector>

// One request to the desktop: open the file inside the folder (see ShellOpen.h).
struct SPShellRequest {
    std::string folder;
    std::string file;

    bool operator==(const SPShellRequest&) const = default;
};

// What the program opens when it ends, in order. After a game: the shortcut "play.url" and the
// sibling program "fscommand\tessun.exe", each when it exists in the working folder. Always:
// the exit address, unless it is empty or a bare "http://".
std::vector<SPShellRequest> CollectExitActions(bool gameRan, const std::string& exitAddress);

// Makes the requests of CollectExitActions (waiting 100 ms after the shortcut, as the desktop
// needs a moment), unless the environment variable VX_NO_EXIT_ACTIONS is set.
void RunExitActions(bool gameRan, const std::string& exitAddress);
