#pragma once
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/PMMObject.h"
#include "platform/PathResolver.h"
#include "script/PLuaScript.h"
#include "script/PScriptManager.h"
#include "support/ReceivedCommands.h"

namespace testsupport {

// The game's scripts as a test runs them in its working folder, to read the commands the code
// under test sends them. Start writes the script list from the lines given ("name type
// category...") and, for each name, a script whose chunk is the body (by default one that stays
// running until its first update ends, as long as a test needs to hear it), then loads the list
// and starts every script of it.
class RunningScripts {
public:
    RunningScripts() = default;
    ~RunningScripts() { Stop(); }
    RunningScripts(const RunningScripts&) = delete;
    RunningScripts& operator=(const RunningScripts&) = delete;

    // False when the list did not load or a script did not start.
    bool Start(const std::vector<std::string>& lines, const std::string& body = "Update()") {
        const std::filesystem::path folder = std::filesystem::current_path() / "Data" / "Scripts";
        std::filesystem::create_directories(folder);
        std::string list;
        std::vector<std::string> names;
        for (const std::string& line : lines) {
            list += line + "\n";
            names.push_back(NameOf(line));
            std::ofstream(folder / (names.back() + ".lua"), std::ios::binary) << body;
        }
        std::ofstream(folder / "list.dat", std::ios::binary) << list;
        platform::InvalidateListings();
        m_manager = std::make_unique<CPScriptManager>();
        if (!m_manager->LoadList()) return false;
        for (const std::string& name : names) {
            if (!m_manager->GetScript(name)->Start()) return false;
        }
        return true;
    }

    // Lets go of the scripts and their manager, and collects what they held.
    void Stop() {
        if (!m_manager) return;
        m_manager.reset();
        CollectGarbage();
    }

    // The script of that name in the list.
    CPLuaScript& operator[](const std::string& name) const { return *m_manager->GetScript(name); }

    // The commands the script received since the last call, as "command(params)".
    std::vector<std::string> Commands(const std::string& name) const { return ReceivedCommands((*this)[name]); }

private:
    static std::string NameOf(const std::string& line) {
        std::string name;
        std::istringstream(line) >> name;
        return name;
    }

    std::unique_ptr<CPScriptManager> m_manager;
};

}  // namespace testsupport
