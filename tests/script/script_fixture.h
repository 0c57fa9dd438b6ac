#pragma once
#include <gtest/gtest.h>
#include <lua.hpp>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/PMMObject.h"
#include "platform/PathResolver.h"
#include "script/PLuaScript.h"
#include "script/ScriptHandles.h"
#include "scriptapi/EngineFunctions.h"
#include "support/TempDir.h"

// Runs a test with the engine table installed inside a fresh working folder, so that "Data\Scripts\..." lands there, and collects
// the engine objects the test released.
class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = std::filesystem::current_path();
        std::filesystem::create_directories(m_folder / "Data" / "Scripts");
        std::filesystem::current_path(m_folder.Path());
        platform::InvalidateListings();
        CPLuaScript::SetEngineTable(GetEngineFunctions());  // as the program installs it
    }

    void TearDown() override {
        CPLuaScript::SetEngineTable(nullptr);
        CPLuaScript::SetGameTables(nullptr, nullptr);
        CollectGarbage();
        std::filesystem::current_path(m_previous);
        platform::InvalidateListings();
    }

    // Writes Data/Scripts/<file> (the file name as given).
    void WriteScriptFile(const std::string& file, const std::string& content) {
        std::ofstream(m_folder / "Data" / "Scripts" / file, std::ios::binary) << content;
        platform::InvalidateListings();
    }

    // Writes <name>.lua and loads it into a new script that is not running yet.
    TPtr<CPLuaScript> LoadScript(const std::string& name, const std::string& source) {
        WriteScriptFile(name + ".lua", source);
        TPtr<CPLuaScript> script(new CPLuaScript);
        EXPECT_EQ(script->Load(name), 0);
        return script;
    }

    // The same, started.
    TPtr<CPLuaScript> StartScript(const std::string& name, const std::string& source) {
        TPtr<CPLuaScript> script = LoadScript(name, source);
        EXPECT_TRUE(script->Start());
        return script;
    }

    // Makes the object's handle the script's global of that name.
    static void SetHandle(const CPLuaScript& script, const char* name, const IPMMObject* object) {
        PushHandle(script.GetState(), object);
        lua_setglobal(script.GetState(), name);
    }

    // A global of the script's state as a number (0 when it is not one).
    static double GlobalNumber(const CPLuaScript& script, const char* name) {
        lua_getglobal(script.GetState(), name);
        const double value = lua_tonumber(script.GetState(), -1);
        lua_pop(script.GetState(), 1);
        return value;
    }

    // A global of the script's state as Lua's tostring writes it.
    static std::string GlobalText(const CPLuaScript& script, const char* name) {
        lua_getglobal(script.GetState(), "tostring");
        lua_getglobal(script.GetState(), name);
        lua_call(script.GetState(), 1, 1);
        size_t length = 0;
        const char* text = lua_tolstring(script.GetState(), -1, &length);
        std::string value = text ? std::string(text, length) : std::string();
        lua_pop(script.GetState(), 1);
        return value;
    }

    // Runs a chunk in the script's main state, outside its thread; the error message, or "".
    static std::string Run(const CPLuaScript& script, const std::string& chunk) {
        lua_State* state = script.GetState();
        if (luaL_dostring(state, chunk.c_str()) == 0) return "";
        std::string message = lua_isstring(state, -1) ? lua_tostring(state, -1) : "(error)";
        lua_pop(state, 1);
        return message.empty() ? "(empty error)" : message;
    }

    testsupport::TempDir m_folder;

private:
    std::filesystem::path m_previous;
};
