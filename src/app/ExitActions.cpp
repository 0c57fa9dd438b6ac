#include "app/ExitActions.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/OpenWebPage.h"
#include "app/WebAddresses.h"
#include "core/PFile.h"
#include "core/TextHelpers.h"

namespace {

const std::string kAddressKey = "url=";

// The value of the shortcut's first "URL=" line (the key in any case); empty without one.
std::string ShortcutAddress(const std::string& shortcut) {
    CPFile file(shortcut, false);
    if (file.Load() < 0) return {};
    const std::string text(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        Trim(line);
        std::string key = line.substr(0, kAddressKey.size());
        if (StrToLower(key) == kAddressKey) return line.substr(kAddressKey.size());
        start = end + 1;
    }
    return {};
}

}  // namespace

std::vector<std::string> CollectExitActions(bool gameRan, const std::string& exitAddress) {
    std::vector<std::string> addresses;
    if (gameRan) {
        const std::string shortcut = ShortcutAddress("play.url");
        if (IsWebAddress(shortcut)) addresses.push_back(shortcut);
    }
    if (IsWebAddress(exitAddress)) addresses.push_back(exitAddress);
    return addresses;
}

bool ExitActionsOff() {
    const char* value = std::getenv("VX_NO_EXIT_ACTIONS");
    return value && *value && std::string(value) != "0";
}

void RunExitActions(bool gameRan, const std::string& exitAddress) {
    if (ExitActionsOff()) return;
    const std::vector<std::string> addresses = CollectExitActions(gameRan, exitAddress);
    for (size_t i = 0; i < addresses.size(); ++i) {
        OpenWebPage(addresses[i]);
        if (i + 1 < addresses.size()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}
