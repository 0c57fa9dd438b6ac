#include "app/CommandLine.h"

SPCommandLine ParseCommandLine(int argc, const char* const* argv) {
    SPCommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--windowed") {
            line.fullScreen = false;
        } else if (argument == "--fullscreen") {
            line.fullScreen = true;
        } else if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else {
            line.error = "unknown argument \"" + argument + "\"";
            return line;
        }
    }
    return line;
}

std::string CommandLineHelp() {
    return "Usage: vexmoor [--windowed | --fullscreen] [--help]\n"
           "Starts the game in the working folder, which holds the Data folder, config.cfg and Actions.cfg.\n"
           "\n"
           "  --windowed     start in a window (the default)\n"
           "  --fullscreen   start in fullscreen mode\n"
           "  --help, -h     show this text\n"
           "\n"
           "The choice is saved in config.cfg with the other settings (screenWidth, screenHeight, ...).\n"
           "\n"
           "Environment:\n"
           "  VX_LOG=stderr         write the engine log to the standard error stream\n"
           "  VX_FRAMES=N           the sample script \"main\" ends the game after N frames\n"
           "  VX_NO_EXIT_ACTIONS=1  open no shortcut, program or web page when the game ends\n"
           "  VX_SCREENSHOT=F[:N]   write drawn frame N (default 10) to the PNG file F\n";
}
