#include "app/ShellOpen.h"

#include <spawn.h>

#include "platform/PathResolver.h"

extern char** environ;

namespace {

bool IsWebAddress(const std::string& file) { return file.find("://") != std::string::npos; }

// What xdg-open is given: the address itself, or the file found on disk.
bool ShellTarget(const std::string& folder, const std::string& file, std::string& target) {
    if (IsWebAddress(file)) {
        target = file;
        return true;
    }
    const std::string path = folder.empty() ? file : folder + "\\" + file;
    return platform::ResolveFile(path, target);
}

}  // namespace

void ShellOpen(const std::string& folder, const std::string& file) {
    std::string target;
    if (!ShellTarget(folder, file, target)) return;
    char program[] = "xdg-open";
    char* arguments[] = {program, target.data(), nullptr};
    pid_t child = 0;
    posix_spawnp(&child, program, nullptr, nullptr, arguments, environ);
}
