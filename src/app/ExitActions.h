#pragma once
#include <string>
#include <vector>

// The web pages the program opens when it ends, in order: after a game, the address of the
// shortcut "play.url" in the working folder (its "URL=" line); always, the exit address. Only
// web addresses (IsWebAddress) count: a shortcut naming a program or a local file, an empty
// exit address or a bare "http://" opens nothing.
std::vector<std::string> CollectExitActions(bool gameRan, const std::string& exitAddress);

// Whether the environment variable VX_NO_EXIT_ACTIONS switches the exit actions off: set to
// anything but "" or "0".
bool ExitActionsOff();

// Opens the pages of CollectExitActions (waiting 100 ms between two, as the desktop needs a
// moment), unless ExitActionsOff.
void RunExitActions(bool gameRan, const std::string& exitAddress);
