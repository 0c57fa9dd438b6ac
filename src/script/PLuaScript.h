#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/PTask.h"
#include "script/ScriptCommandQueue.h"

struct lua_State;
struct luaL_Reg;

// One game script: a task that owns a Lua state of its own with one coroutine thread in it.
//
// The script's chunk runs in the thread. Once per frame the task resumes it, and the script gives
// the frame back by calling the global "Update" (which yields the number 7). A chunk that ends,
// yields anything else or fails is finished; a failure with a text message also stops the task.
//
// Every state holds, as globals: "Update", the engine table (SetEngineTable), the game's two
// tables (SetGameTables) and "globalObject", the script's own handle.
//
// The script's commands wait in a queue, first in, first out. The current command is the oldest
// while the script is reading it, and stays in the queue until the script asks for the next one.
class CPLuaScript : public IPTask {
public:
    // What a frame-ending yield carries.
    static constexpr int kFrameEnd = 7;

    CPLuaScript();
    ~CPLuaScript() override;

    // Reads "Data\Scripts\<name>.lua" and loads it into a fresh state. Negative when the file
    // cannot be read (nothing changes then), else 0: a syntax error still counts as loaded, and
    // the script's first Update ends it.
    int32_t Load(const std::string& name);
    // Builds the state, its libraries and globals and the thread; without memory for them the
    // script has no state.
    void CreateState();

    // False when already running; otherwise the script runs again from where it stopped.
    bool Start() override;
    // One resume of the thread.
    void Update() override;
    int32_t GetType() const override { return m_type; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    // "CPLuaScript-" followed by the script's name.
    std::string GetClassName() const override;

    void SetType(int32_t type) { m_type = type; }
    const std::string& GetName() const { return m_name; }
    // True while Update does nothing: before Start, and once the chunk has ended or failed.
    bool IsFinished() const { return m_finished; }

    lua_State* GetState() const { return m_state; }
    lua_State* GetThread() const { return m_thread; }

    // The script whose state (or thread) this is; null for a state no script made.
    static CPLuaScript* FromState(lua_State* state);

    // References the script holds on engine objects: those it took with AddRef and those that
    // functions handed it counted. Release gives back only these, so a script cannot free an
    // object the engine still uses; the references left when the script goes stay taken.
    void HoldReference(IPMMObject& object);
    // False (and nothing released) when the script holds no reference to the object.
    bool DropReference(IPMMObject& object);

    // Queues "release_all" whatever the queue holds and gives the script one step at once, so it
    // can let go of what it holds. For the script manager's shutdown.
    void PostReleaseAll();

    // Queues a copy of the command behind the others, without any test.
    void PushCommand(const CPScriptCommand& command);
    // Drops the current command and makes the oldest unread one current; false when none is left.
    bool NextCommand();
    // The command being read, or null; valid until the next command is queued or read.
    const CPScriptCommand* GetCurrentCommand() const { return m_hasCurrent ? &m_queue.Oldest() : nullptr; }
    // Commands in the queue, the current one included.
    int32_t GetQueueLength() const { return static_cast<int32_t>(m_queue.Size()); }

    // The engine's function table, registered in every state created from now on before the
    // game's tables; the layers above the host install it. It ends at its first entry without a
    // name; null registers nothing.
    static void SetEngineTable(const luaL_Reg* engine);
    // The game's two function tables, registered in every state created from now on after the
    // engine functions, the game table first. Each ends at its first entry without a name; null
    // registers nothing.
    static void SetGameTables(const luaL_Reg* game, const luaL_Reg* iface);

    // The global "Update": ends the script's frame by yielding the number 7.
    static int ScriptUpdate(lua_State* state);
    // The state's panic function: logs the message on top of the stack, whatever its type.
    static int ScriptPanic(lua_State* state);

private:
    static int PopulateState(lua_State* state);
    static int SetGlobalObject(lua_State* state);
    void CloseState();
    // Whether the thread has a chunk to start or a yield to return from.
    bool CanResume() const;
    // Whether the values the thread yielded or returned ask for another frame.
    bool AsksForNextFrame() const;

    int32_t m_type = 0;
    std::string m_name;
    lua_State* m_state = nullptr;
    lua_State* m_thread = nullptr;
    std::vector<uint8_t> m_source;
    bool m_finished = true;
    CPScriptCommandQueue m_queue;
    bool m_hasCurrent = false;
    std::unordered_map<const IPMMObject*, int32_t> m_references;
};
