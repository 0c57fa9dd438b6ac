#include "app/OpenWebPage.h"

#include <spawn.h>

#include "app/WebAddresses.h"

extern char** environ;

void OpenWebPage(const std::string& address) {
    if (!IsWebAddress(address)) return;
    std::string target = address;
    char program[] = "xdg-open";
    char* arguments[] = {program, target.data(), nullptr};
    pid_t child = 0;
    posix_spawnp(&child, program, nullptr, nullptr, arguments, environ);
}
