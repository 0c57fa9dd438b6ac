#pragma once
#include <string>
#include <vector>

// One command queued for a script: its name and its parameters, as text.
struct CPScriptCommand {
    std::string command;
    std::vector<std::string> params;
};
