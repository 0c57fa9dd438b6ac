#include "script/ScriptHandles.h"

#include <lua.hpp>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "script/PLuaScript.h"

void PushHandle(lua_State* state, const IPMMObject* object) {
    lua_pushlightuserdata(state, const_cast<IPMMObject*>(object));
}

void PushCountedHandle(lua_State* state, IPMMObject* object) {
    CPLuaScript* script = CPLuaScript::FromState(state);
    if (object && script) script->HoldReference(*object);
    PushHandle(state, object);
}

IPMMObject* ToObject(lua_State* state, int index) {
    // A full userdata (an io file, say) is never an engine object, and the lookup says so.
    return IPMMObject::Find(lua_touserdata(state, index));
}

void FormatHandle(const IPMMObject* object, char (&text)[kHandleTextSize]) {
    std::snprintf(text, sizeof(text), "%" PRIdPTR, reinterpret_cast<intptr_t>(object));
}

std::string HandleToString(const IPMMObject* object) {
    char text[kHandleTextSize];
    FormatHandle(object, text);
    return text;
}

IPMMObject* StringToObject(const char* text) {
    const long long value = std::strtoll(text, nullptr, 10);
    return IPMMObject::Find(reinterpret_cast<const void*>(static_cast<intptr_t>(value)));
}
