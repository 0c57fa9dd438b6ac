#pragma once
#include <string>

// The program's switches. "--windowed" and "--fullscreen" stand for the launcher's two start
// buttons: the game starts without the launcher; giving both is an error.
struct SPCommandLine {
    bool startChosen = false;  // one of the two was given
    bool fullScreen = false;
    bool help = false;
    std::string error;  // set when an argument is not understood or contradicts another
};

SPCommandLine ParseCommandLine(int argc, const char* const* argv);

// The text that "--help" prints.
std::string CommandLineHelp();
