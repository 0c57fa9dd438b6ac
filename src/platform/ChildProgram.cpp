#include "platform/ChildProgram.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform/LibraryMessages.h"

extern char** environ;

namespace platform {
namespace {

bool IsGameVariable(const char* entry, const std::vector<std::string>& routed) {
    if (std::strncmp(entry, "VX_", 3) == 0) return true;
    return std::any_of(routed.begin(), routed.end(), [entry](const std::string& name) {
        return std::strncmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=';
    });
}

std::vector<char*> ChildEnvironment() {
    const std::vector<std::string> routed = RoutedLibraryVariables();
    std::vector<char*> environment;
    for (char** entry = environ; *entry; ++entry) {
        if (!IsGameVariable(*entry, routed)) environment.push_back(*entry);
    }
    environment.push_back(nullptr);
    return environment;
}

}  // namespace

bool StartChildProgram(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return false;
    std::vector<std::string> owned = arguments;
    std::vector<char*> argv;
    for (std::string& argument : owned) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char*> environment = ChildEnvironment();

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    pid_t child = 0;
    const bool started = posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0 &&
                         posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environment.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (started) std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return started;
}

}  // namespace platform
