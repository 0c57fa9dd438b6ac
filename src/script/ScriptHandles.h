#pragma once
#include <string>

#include "core/PMMObject.h"

struct lua_State;

// Handles: engine objects cross into scripts as light userdata holding the address of the object's
// IPMMObject part, and inside command parameters as that address in signed decimal text. A
// handle carries no reference. Every handle that comes back from a script is checked against the
// engine objects that exist and against the class expected: a stale, forged or foreign value
// reads as null.

// Pushes the object's handle; null pushes the null handle (a light userdata 0, not nil).
void PushHandle(lua_State* state, const IPMMObject* object);
// Pushes the handle of an object the calling script is to Release: the script takes a reference
// to it (CPLuaScript::HoldReference). For functions that hand a script a counted object.
void PushCountedHandle(lua_State* state, IPMMObject* object);
// The engine object whose handle is at the stack index, or null.
IPMMObject* ToObject(lua_State* state, int index);
// The same, typed: null as well when the object is not a T.
template <class T>
T* ToObject(lua_State* state, int index) {
    return dynamic_cast<T*>(ToObject(state, index));
}

// Longest handle text with its terminating zero: a sign and 19 digits.
constexpr int kHandleTextSize = 21;
// Writes the handle's decimal text ("0" for null) into the buffer.
void FormatHandle(const IPMMObject* object, char (&text)[kHandleTextSize]);
// The handle's decimal text, for command parameters.
std::string HandleToString(const IPMMObject* object);
// The engine object whose handle the text holds (read like atoi, in 64 bits), or null.
IPMMObject* StringToObject(const char* text);
