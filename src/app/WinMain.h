#pragma once

// The program: parses the command line, ends at once when another copy runs, creates the
// application, runs the launcher (or applies the start choice of the command line, what the
// launcher's start buttons do), runs the game, destroys the application and makes the exit
// actions. Returns the process's exit code: 0 after a game that ended normally, after Exit in
// the launcher and for --help, 1 when another copy runs, the launcher cannot be shown, the game
// could not start or its files (the input recording too) could not be written, 2 for an argument
// or an environment switch that is not understood (a bad VX_SEED, VX_RECORD or VX_REPLAY).
int WinMain(int argc, const char* const* argv);
