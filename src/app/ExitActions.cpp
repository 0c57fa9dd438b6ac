#include "app/ExitActions.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/ShellOpen.h"
#include "app/WebAddresses.h"
#include "platform/PathResolver.h"

namespace {

bool FileExists(const std::string& path) {
    std::string resolved;
    return platform::ResolveFile(path, resolved);
}

}  // namespace

std::vector<SPShellRequest> CollectExitActions(bool gameRan, const std::string& exitAddress) {
    std::vector<SPShellRequest> requests;
    if (gameRan && FileExists("play.url")) requests.push_back({"", "play.url"});
    if (gameRan && FileExists("fscommand\\tessun.exe")) requests.push_back({".\\fscommand", "tessun.exe"});
    if (IsOpenableAddress(exitAddress)) requests.push_back({"", exitAddress});
    return requests;
}

void RunExitActions(bool gameRan, const std::string& exitAddress) {
    if (std::getenv("VX_NO_EXIT_ACTIONS")) return;
    for (const SPShellRequest& request : CollectExitActions(gameRan, exitAddress)) {
        ShellOpen(request.folder, request.file);
        if (request.file == "play.url") std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}
