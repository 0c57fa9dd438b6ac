#pragma once
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "Render/PImage.h"
#include "support/TempDir.h"

namespace apptest {

// One run of the real program (VX_GAME_BINARY) in a working folder.
struct ProgramRun {
    std::filesystem::path folder;
    // The game starts without the launcher unless a test clears these.
    std::vector<std::string> arguments{"--windowed"};
    std::vector<std::pair<std::string, std::string>> environment;  // set for the run
    std::vector<std::string> unsetEnvironment;
    // The run's $XDG_RUNTIME_DIR, where its single-instance lock lies; empty: a fresh folder of
    // its own, so parallel tests never see each other's lock.
    std::filesystem::path runtimeFolder;
    // When the tests run as root, the program runs without root's power to override file and
    // folder permissions, so they hold for it as for any user.
    bool unprivileged = false;
    // How long the run may take before it is killed; a long run on a busy machine needs more.
    std::chrono::seconds timeLimit{60};
};

struct ProgramResult {
    int exitCode = -1;    // -1 when the program did not exit by itself
    std::string output;   // standard output
    std::string errors;   // standard error
};

// Runs the program and waits for it (at most its time limit; it is killed after that).
ProgramResult RunProgram(const ProgramRun& run);

// Reads and decodes the PNG screenshot a run wrote; false with the reason in error.
bool ReadScreenshot(const std::filesystem::path& path, SPImage& image, std::string& error);

// The program started in the background.
class StartedProgram {
public:
    explicit StartedProgram(const ProgramRun& run);
    // Kills the program if it still runs.
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    pid_t Pid() const { return child_; }
    // True once the program has ended; does not wait.
    bool Ended();
    // Waits for the program's end, as RunProgram does.
    ProgramResult Wait();

private:
    testsupport::TempDir streams_;
    testsupport::TempDir runtime_;
    pid_t child_ = -1;
    std::chrono::seconds timeLimit_;
    bool ended_ = false;
    int status_ = 0;
};
}  // namespace apptest
