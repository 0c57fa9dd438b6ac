#include "ProgramRun.h"

#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "WorkingFolder.h"
#include "support/TempDir.h"

namespace apptest {
namespace {

constexpr auto kTimeLimit = std::chrono::seconds(60);

// In the child: everything up to exec; never returns.
[[noreturn]] void StartChild(const ProgramRun& run, const std::filesystem::path& out, const std::filesystem::path& err) {
    if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr)) _exit(126);
    if (chdir(run.folder.c_str()) != 0) _exit(126);
    for (const auto& [name, value] : run.environment) setenv(name.c_str(), value.c_str(), 1);
    for (const std::string& name : run.unsetEnvironment) unsetenv(name.c_str());
    if (run.unprivileged && geteuid() == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(kUnprivilegedId) != 0 || setuid(kUnprivilegedId) != 0) _exit(126);
    }
    std::vector<char*> argv{const_cast<char*>(VX_GAME_BINARY)};
    for (const std::string& argument : run.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(VX_GAME_BINARY, argv.data());
    _exit(127);
}

int WaitFor(pid_t child) {
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ProgramResult RunProgram(const ProgramRun& run) {
    testsupport::TempDir streams;
    const std::filesystem::path out = streams / "stdout.txt";
    const std::filesystem::path err = streams / "stderr.txt";
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) StartChild(run, out, err);
    ProgramResult result;
    if (child < 0) return result;
    result.exitCode = WaitFor(child);
    result.output = ReadBytes(out);
    result.errors = ReadBytes(err);
    return result;
}

}  // namespace apptest
