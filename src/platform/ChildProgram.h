#pragma once
#include <string>
#include <vector>

namespace platform {

// Starts a program the game hands something to (the opener of a web page) without waiting for
// it; its process is reaped when it ends. arguments[0] names the program, found on PATH unless it
// holds a '/'. The program gets the standard descriptors (0, 1, 2) and nothing else the game has
// open, and the environment the game was started with less the game's own variables: its
// switches (VX_...) and those it set for its own libraries (LibraryMessages.h). False when it
// cannot be started.
bool StartChildProgram(const std::vector<std::string>& arguments);

}  // namespace platform
