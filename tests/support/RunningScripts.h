#pragma once
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

    // False when a file could not be written, the list did not load or a script did not start.
    bool Start(const std::vector<std::string>& lines, const std::string& body = "Update()") {
        std::string list;
        std::vector<std::string> names;
        for (const std::string& line : lines) {
            list += line + "\n";
            names.push_back(NameOf(line));
            if (!WriteScriptFile(names.back() + ".lua", body)) return false;
        }
        if (!WriteScriptFile("list.dat", list)) return false;
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

    // The commands the script received since the last call, as "command(params)", but for those
    // named `skipped`.
    std::vector<std::string> Commands(const std::string& name, const std::string& skipped = "") const {
        return ReceivedCommands((*this)[name], skipped);
    }

private:
    static std::string NameOf(const std::string& line) {
        std::string name;
        std::istringstream(line) >> name;
        return name;
    }

    // Writes the file into the game's script folder, in whatever case the working folder has it.
    static bool WriteScriptFile(const std::string& file, const std::string& text) {
        std::string path;
        if (!platform::ResolveForWriting("Data\\Scripts\\" + file, path)) return false;
        std::ofstream(path, std::ios::binary) << text;
        platform::InvalidateListings();
        return true;
    }

    std::unique_ptr<CPScriptManager> m_manager;
};

}  // namespace testsupport
