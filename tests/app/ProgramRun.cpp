#include "ProgramRun.h"

#include <linux/capability.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "Render/ImageDecoders.h"
#include "WorkingFolder.h"
#include "support/TempDir.h"

namespace apptest {
namespace {

// Takes from this process, and from the program it starts, the capabilities that let root read,
// write and enter any file or folder whatever its permissions. (Running as another user instead
// would need the build folder to be reachable for that user, which a checkout in a private folder
// is not.) False when the system refuses.
bool DropPermissionOverrides() {
    constexpr int kOverrides[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct sets[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, sets) != 0) return false;
    for (const int capability : kOverrides) {
        // The bounding set limits what root gets at exec; the inheritable set could add it back.
        if (prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) != 0) return false;
        sets[CAP_TO_INDEX(capability)].inheritable &= ~CAP_TO_MASK(capability);
        sets[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
    }
    return syscall(SYS_capset, &header, sets) == 0 && prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) == 0;
}

// In the child: everything up to exec; never returns.
[[noreturn]] void StartChild(const ProgramRun& run, const std::filesystem::path& out, const std::filesystem::path& err,
                             const std::filesystem::path& runtime) {
    if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr)) _exit(126);
    if (chdir(run.folder.c_str()) != 0) _exit(126);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    for (const auto& [name, value] : run.environment) setenv(name.c_str(), value.c_str(), 1);
    for (const std::string& name : run.unsetEnvironment) unsetenv(name.c_str());
    if (run.unprivileged && geteuid() == 0 && !DropPermissionOverrides()) _exit(126);
    std::vector<char*> argv{const_cast<char*>(VX_GAME_BINARY)};
    for (const std::string& argument : run.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(VX_GAME_BINARY, argv.data());
    _exit(127);
}

// The exit code of a wait status: -1 when the program did not exit by itself.
int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

ProgramResult RunProgram(const ProgramRun& run) { return StartedProgram(run).Wait(); }

bool ReadScreenshot(const std::filesystem::path& path, SPImage& image, std::string& error) {
    const std::string bytes = ReadBytes(path);
    return DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image, error);
}

StartedProgram::StartedProgram(const ProgramRun& run) : timeLimit_(run.timeLimit) {
    // The unprivileged runs make their lock there too.
    std::filesystem::permissions(runtime_.Path(), std::filesystem::perms::all);
    const std::filesystem::path runtime = run.runtimeFolder.empty() ? runtime_.Path() : run.runtimeFolder;
    std::fflush(nullptr);
    child_ = fork();
    if (child_ == 0) StartChild(run, streams_ / "stdout.txt", streams_ / "stderr.txt", runtime);
}

StartedProgram::~StartedProgram() {
    if (child_ <= 0 || ended_) return;
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
}

bool StartedProgram::Ended() {
    if (!ended_ && child_ > 0) ended_ = waitpid(child_, &status_, WNOHANG) == child_;
    return ended_;
}

ProgramResult StartedProgram::Wait() {
    ProgramResult result;
    if (child_ < 0) return result;
    const auto deadline = std::chrono::steady_clock::now() + timeLimit_;
    while (!Ended()) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
            ended_ = true;
            status_ = SIGKILL;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    result.exitCode = ExitCode(status_);
    result.output = ReadBytes(streams_ / "stdout.txt");
    result.errors = ReadBytes(streams_ / "stderr.txt");
    return result;
}

}  // namespace apptest
