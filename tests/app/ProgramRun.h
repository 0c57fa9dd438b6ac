#pragma once
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace apptest {

// One run of the real program (VX_GAME_BINARY) in a working folder.
struct ProgramRun {
    std::filesystem::path folder;
    std::vector<std::string> arguments;
    std::vector<std::pair<std::string, std::string>> environment;  // set for the run
    std::vector<std::string> unsetEnvironment;
    // Run as an ordinary user when the tests run as root, so folder permissions hold.
    bool unprivileged = false;
};

struct ProgramResult {
    int exitCode = -1;    // -1 when the program did not exit by itself
    std::string output;   // standard output
    std::string errors;   // standard error
};

// Runs the program and waits for it (at most a minute; it is killed after that).
ProgramResult RunProgram(const ProgramRun& run);

// The user the unprivileged runs use.
constexpr unsigned kUnprivilegedId = 65534;

}  // namespace apptest
