#include "app/GameFileSwitch.h"

#include <cstdlib>

bool ReadGameFileSwitch(const char* name, std::string& path, std::string& error) {
    const char* value = std::getenv(name);
    path = value ? value : "";
    if (!value || (!path.empty() && path.front() != '/')) return true;
    error = std::string(name) + "=\"" + path + "\" names no file in the game's folder";
    return false;
}
