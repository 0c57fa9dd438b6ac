#pragma once
#include <string>
#include <vector>

#include "script/PLuaScript.h"

namespace testsupport {

// The commands the script received since the last call, as "command(params)" with the parameters
// joined by commas; commands named `skipped` are taken off the queue and left out.
inline std::vector<std::string> ReceivedCommands(CPLuaScript& script, const std::string& skipped = "") {
    std::vector<std::string> commands;
    while (script.NextCommand()) {
        const CPScriptCommand* command = script.GetCurrentCommand();
        if (command->command == skipped) continue;
        std::string params;
        for (const std::string& param : command->params) params += (params.empty() ? "" : ",") + param;
        commands.push_back(command->command + "(" + params + ")");
    }
    return commands;
}

}  // namespace testsupport
