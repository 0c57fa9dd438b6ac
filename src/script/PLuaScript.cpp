#include "script/PLuaScript.h"

#include <lua.hpp>

#include <cmath>

#include "core/PFile.h"
#include "core/PLog.h"
#include "script/ScriptHandles.h"
#include "script/ScriptRandom.h"

namespace {

// The registry key under which a state keeps its script.
char g_scriptKey;

const luaL_Reg* g_engineTable = nullptr;
const luaL_Reg* g_gameTable = nullptr;
const luaL_Reg* g_interfaceTable = nullptr;

// The libraries of every state, in the order they are opened.
constexpr luaL_Reg kLibraries[] = {
    {"", luaopen_base},
    {LUA_IOLIBNAME, luaopen_io},
    {LUA_OSLIBNAME, luaopen_os},
    {LUA_STRLIBNAME, luaopen_string},
    {LUA_MATHLIBNAME, luaopen_math},
    {LUA_TABLIBNAME, luaopen_table},
};

void OpenLibraries(lua_State* state) {
    for (const luaL_Reg& library : kLibraries) {
        lua_pushcfunction(state, library.func);
        lua_pushstring(state, library.name);
        lua_call(state, 1, 0);
    }
    RouteRandom(state);
}

void RegisterGlobal(lua_State* state, const char* name, lua_CFunction function) {
    lua_pushstring(state, name);
    lua_pushcclosure(state, function, 0);
    lua_settable(state, LUA_GLOBALSINDEX);
}

void RegisterTable(lua_State* state, const luaL_Reg* table) {
    for (const luaL_Reg* entry = table; entry && entry->name; ++entry) RegisterGlobal(state, entry->name, entry->func);
}

}  // namespace

CPLuaScript::CPLuaScript() = default;

CPLuaScript::~CPLuaScript() { CloseState(); }

std::string CPLuaScript::GetClassName() const { return "CPLuaScript-" + m_name; }

void CPLuaScript::SetEngineTable(const luaL_Reg* engine) { g_engineTable = engine; }

void CPLuaScript::SetGameTables(const luaL_Reg* game, const luaL_Reg* iface) {
    g_gameTable = game;
    g_interfaceTable = iface;
}

int32_t CPLuaScript::Load(const std::string& name) {
    m_name = name;
    CPFile file("Data\\Scripts\\" + name + ".lua");
    const int32_t result = file.Load();
    if (result < 0) return result;
    m_source.assign(file.GetData(), file.GetData() + file.GetSize());

    CreateState();
    if (!m_thread) return 0;
    const char* chunk = reinterpret_cast<const char*>(m_source.data());
    if (luaL_loadbuffer(m_thread, chunk, m_source.size(), m_name.c_str()) != 0) {
        lua_settop(m_thread, 0);  // the message is dropped; the first Update ends the script
        return 0;
    }
    if (lua_cpcall(m_state, SetGlobalObject, this) != 0) lua_settop(m_thread, 0);
    return 0;
}

void CPLuaScript::CreateState() {
    CloseState();
    lua_State* state = luaL_newstate();
    if (!state) return;
    lua_atpanic(state, ScriptPanic);
    // Everything that can raise an error runs protected, so nothing ever reaches the panic function.
    if (lua_cpcall(state, PopulateState, this) != 0) {
        lua_close(state);
        m_thread = nullptr;
        return;
    }
    m_state = state;
}

int CPLuaScript::PopulateState(lua_State* state) {
    auto* script = static_cast<CPLuaScript*>(lua_touserdata(state, 1));
    lua_settop(state, 0);
    OpenLibraries(state);
    RegisterGlobal(state, "Update", ScriptUpdate);
    RegisterTable(state, g_engineTable);
    RegisterTable(state, g_gameTable);
    RegisterTable(state, g_interfaceTable);
    lua_pushlightuserdata(state, &g_scriptKey);
    lua_pushlightuserdata(state, script);
    lua_settable(state, LUA_REGISTRYINDEX);
    script->m_thread = lua_newthread(state);
    luaL_ref(state, LUA_REGISTRYINDEX);  // the registry keeps the thread from being collected
    return 0;
}

int CPLuaScript::SetGlobalObject(lua_State* state) {
    auto* script = static_cast<CPLuaScript*>(lua_touserdata(state, 1));
    lua_pushstring(state, "globalObject");
    PushHandle(state, script);
    lua_settable(state, LUA_GLOBALSINDEX);
    return 0;
}

void CPLuaScript::CloseState() {
    if (m_state) lua_close(m_state);
    m_state = nullptr;
    m_thread = nullptr;
}

bool CPLuaScript::Start() {
    if (!IPTask::Start()) return false;
    m_finished = false;
    return true;
}

void CPLuaScript::Update() {
    if (m_finished || !m_thread) return;
    m_finished = true;
    if (!CanResume()) {
        Kill();  // nothing to run: no chunk, or it has ended
        return;
    }
    const int status = lua_resume(m_thread, 0);
    if (status == 0 || status == LUA_YIELD) {
        m_finished = !AsksForNextFrame();
    } else if (lua_gettop(m_thread) > 0 && lua_isstring(m_thread, -1)) {
        Kill();  // the message, on top of the failed thread's stack, is dropped
    }
    lua_settop(m_thread, 0);
}

bool CPLuaScript::CanResume() const {
    // A yielded thread goes on, and one that failed says so itself when resumed. Otherwise the
    // chunk must still be waiting to start: a syntax error left none, and an ended one is gone.
    if (lua_status(m_thread) != 0) return true;
    return lua_gettop(m_thread) == 1 && lua_isfunction(m_thread, 1);
}

bool CPLuaScript::AsksForNextFrame() const {
    return lua_gettop(m_thread) > 0 && lua_isnumber(m_thread, 1) &&
           std::trunc(lua_tonumber(m_thread, 1)) == static_cast<lua_Number>(kFrameEnd);
}

CPLuaScript* CPLuaScript::FromState(lua_State* state) {
    lua_pushlightuserdata(state, &g_scriptKey);
    lua_gettable(state, LUA_REGISTRYINDEX);
    auto* script = static_cast<CPLuaScript*>(lua_touserdata(state, -1));
    lua_pop(state, 1);
    return script;
}

void CPLuaScript::HoldReference(IPMMObject& object) {
    object.AddRef();
    ++m_references[&object];
}

bool CPLuaScript::DropReference(IPMMObject& object) {
    const auto held = m_references.find(&object);
    if (held == m_references.end()) {
        GetLog()->Print(0, "Script %s: Release of an object it holds no reference to is ignored (%s)\n",
                        m_name.c_str(), object.GetClassName().c_str());
        return false;
    }
    if (--held->second == 0) m_references.erase(held);
    object.Release();
    return true;
}

void CPLuaScript::PostReleaseAll() {
    PushCommand(CPScriptCommand{"release_all", {}});
    if (m_thread) Update();
}

void CPLuaScript::PushCommand(const CPScriptCommand& command) { m_queue.Push(command); }

bool CPLuaScript::NextCommand() {
    if (m_queue.Empty()) return false;
    if (m_hasCurrent) m_queue.PopOldest();
    m_hasCurrent = !m_queue.Empty();
    return m_hasCurrent;
}

int CPLuaScript::ScriptUpdate(lua_State* state) {
    lua_pushnumber(state, kFrameEnd);
    return lua_yield(state, 1);
}

int CPLuaScript::ScriptPanic(lua_State* state) {
    const bool isText = lua_gettop(state) > 0 && lua_type(state, -1) == LUA_TSTRING;
    GetLog()->Print(0, "\nScript Error!\n%s\n", isText ? lua_tostring(state, -1) : "(error object is not a string)");
    return 0;
}
