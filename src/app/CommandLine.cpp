#include "app/CommandLine.h"

SPCommandLine ParseCommandLine(int argc, const char* const* argv) {
    SPCommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--windowed" || argument == "--fullscreen") {
            const bool fullScreen = argument == "--fullscreen";
            if (line.startChosen && line.fullScreen != fullScreen) {
                line.error = "--windowed and --fullscreen exclude each other";
                return line;
            }
            line.startChosen = true;
            line.fullScreen = fullScreen;
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
           "Runs the game in the working folder, which holds the Data folder, config.cfg and Actions.cfg.\n"
           "Without a switch the launcher opens first: start in fullscreen or windowed mode, Options, Exit.\n"
           "\n"
           "  --windowed     start the game in a window at once, without the launcher\n"
           "  --fullscreen   start the game in fullscreen mode at once, without the launcher\n"
           "  --help, -h     show this text\n"
           "\n"
           "The choice is saved in config.cfg with the other settings (screenWidth, screenHeight, ...).\n"
           "One copy runs at a time; a second start says so and ends with exit code 1.\n"
           "\n"
           "Environment:\n"
           "  VX_LOG=stderr         write the engine log to the standard error stream\n"
           "  VX_FRAMES=N           the sample script \"main\" ends the game after N frames\n"
           "  VX_LEVEL=NAME         the sample script \"main\" plays the level NAME (e.g. level1)\n"
           "  VX_NO_EXIT_ACTIONS=1  open no web page when the game ends (any value but 0)\n"
           "  VX_WEB_OPENER=P       open web pages with the program P instead of xdg-open; P is\n"
           "                        run with the address as its one argument\n"
           "  VX_SCREENSHOT=F[:N]   write drawn frame N (default 10) to the PNG file F\n"
           "  VX_FRAME_TIME=S       every frame lasts S seconds (0 < S < 1), whatever the clock says\n"
           "  VX_SEED=N             seeds every random source of the game once, so that with\n"
           "                        VX_FRAME_TIME a run shows the same frames each time\n"
           "  VX_RECORD=F           record the keyboard, mouse and window input of every frame\n"
           "                        (and the seed and frame lengths) into the file F as the game goes\n"
           "  VX_REPLAY=F           play the recording F in place of the keyboard and mouse: with\n"
           "                        the same data the same run, frame for frame\n"
           "  VX_STATE=F            when the game ends, write the play state of the last frame\n"
           "                        with a level (car, enemies, money, score) to the text file F\n"
           "  VX_MUSIC_SINK=D       play music into the GStreamer sink description D\n"
           "  VX_MEDIA_SILENT=1     play videos without sound\n"
           "  VX_VSYNC=1            wait for the display's vertical blank before showing a frame\n";
}
