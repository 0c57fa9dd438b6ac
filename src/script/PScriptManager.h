#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/PSmartPointer.h"
#include "core/Singleton.h"
#include "script/PLuaScript.h"

// Owns every script of the game and delivers commands to them.
//
// LoadList reads the script list "Data\Scripts\list.dat", one script a line, blank-separated:
//
//     name  type  category...
//
// The name (lower-cased) is the script file Data\Scripts\<name>.lua; the type is "t_system" (3),
// "t_level" (1) or "t_interface" (2), written exactly so, anything else giving 0; every further
// field is a category (lower-cased). Double quotes group a field that holds blanks; comments
// follow the text reader's rules. A later line with the same name replaces the earlier script by
// name, which stays in its own categories.
//
// A command is a name and a parameter string, split at "," (double quotes group, parameters are
// trimmed). It reaches a script only while the script runs (between its Start and its Stop) and
// only while the script's queue holds at most 100 commands; otherwise it is dropped silently.
// Names and categories are looked up exactly as passed, without lower-casing.
// Where the script list lies.
inline constexpr char kScriptListPath[] = "Data\\Scripts\\list.dat";

class CPScriptManager : public TSingleton<CPScriptManager> {
public:
    // The most commands a queue may already hold for one more to be accepted.
    static constexpr int32_t kQueueLimit = 100;

    CPScriptManager();
    // Gives every script filed by name one last step with "release_all", then lets go of them.
    virtual ~CPScriptManager();

    // Loads the scripts of the list. False when the list cannot be read, or when a script's file
    // cannot be read: the list ends there, the scripts of the lines before stay loaded.
    bool LoadList();
    // After LoadList failed: the script file the list names that could not be read
    // ("Data\Scripts\<name>.lua"), or empty when the list itself could not be read.
    const std::string& GetUnreadableScript() const { return m_unreadableScript; }

    // The script filed under the name, or null.
    TPtr<CPLuaScript> GetScript(const std::string& name) const;

    // Sending allocates nothing once the receiving queues have warmed up (ScriptCommandQueue.h).
    void SendCommandByName(std::string_view name, std::string_view command, std::string_view params);
    void SendCommandByCategory(std::string_view category, std::string_view command, std::string_view params);
    void SendCommandByObject(TPtr<CPLuaScript> script, std::string_view command, std::string_view params);

private:
    // Looks names up by views, without building a string.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    template <typename Value>
    using NameMap = std::unordered_map<std::string, Value, NameHash, std::equal_to<>>;

    // The command to send, in m_command, whose storage every send reuses.
    const CPScriptCommand& MakeCommand(std::string_view command, std::string_view params);
    // Reads one line of the list; false when the line's script file cannot be read.
    bool LoadLine(const std::string& line);
    static void Deliver(CPLuaScript& script, const CPScriptCommand& command);

    NameMap<TPtr<CPLuaScript>> m_byName;
    NameMap<std::vector<TPtr<CPLuaScript>>> m_byCategory;
    std::string m_unreadableScript;
    CPScriptCommand m_command;
};

// The script manager, null before its construction and after its destruction.
inline CPScriptManager* GetScriptManager() { return CPScriptManager::Instance(); }
