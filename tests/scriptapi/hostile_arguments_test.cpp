// Every registered game script function, called with valid and with hostile arguments, with and
// without a level: nothing may crash or trip the sanitizers, and the scripts go on afterwards.
// An argument error raised on purpose (a text argument that is no text) is an answer, not a fault.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Input/NInput.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "Sound/NAudio.h"
#include "core/SettingsVariables.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "game/PPlayerCar.h"
#include "game/level_objects.h"
#include "script/ScriptHandles.h"
#include "scriptapi/game_functions_fixture.h"
#include "scriptapi/GameFunctionTables.h"

namespace {

// Lua expressions of the hostile values; "car", "object", "stale" and "forged" are globals the
// test sets. The last value is what the functions leave behind for the next ones (a setter's huge
// money or mission meets the getters and AutoSetting), so it is the largest finite float.
const char* const kValues[] = {
    "nil", "true", "false", "{}", "function() end", "'text'", "''", "'12'", "0/0", "1/0", "-1/0", "1e39", "-1e39",
    "1e308", "2^53", "2^31", "-2^31 - 1", "-1", "0", "0.5", "3", "13", "string.rep('x', 70000)",
    "'..\\\\..\\\\Actions.cfg'", "'../../config.cfg'", "'save13.sav'", "'a;b\"c'", "car", "object", "stale",
    "forged", "globalObject", "-3.4e38", "3.4e38",
};

class HostileArgumentsTest : public RegisteredGameTablesTest {
protected:
    void SetUp() override {
        RegisteredGameTablesTest::SetUp();
        m_data.weaponInfos["hmgun"].nameKey = "n_hmgun";
        m_data.weaponList.emplace_back("hmgun", m_data.weaponInfos["hmgun"]);
        m_data.shopPresets.resize(4);
        m_script = LoadScript("hostile", "");
        // A screen of the name the calls pass first, with a cursor: its layers follow the variant.
        std::filesystem::create_directories(m_folder / "Data" / "Interface");
        std::ofstream(m_folder / "Data" / "Interface" / "hmgun1024.int", std::ios::binary)
            << "hmgun\nhmgun.tga,64,64\nlight,off\nbutton\nb 0,0,8,8,0,0,8,8\nb 0,0,8,8,0,0,8,8\n"
               "b 0,0,8,8,0,0,8,8\ncursor\narrow arrow.rdf\n";
        platform::InvalidateListings();
        lua_State* state = m_script->GetState();
        m_car = new CPPlayerCar;
        m_object = levelobjects::Box("box", {2.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f});
        m_object->AddChild(levelobjects::Box("child", {0.0f, 0.0f, 0.0f}, {0.5f, 0.5f, 0.5f}));
        {
            TPtr<CPGameObject> gone(new CPGameObject("gone"));
            SetHandle(*m_script, "stale", gone.Get());
        }
        CollectGarbage();
        lua_pushlightuserdata(state, reinterpret_cast<void*>(0x7f0012345670));
        lua_setglobal(state, "forged");
        SetHandle(*m_script, "car", m_car.Get());
        SetHandle(*m_script, "object", m_object.Get());
    }
    void TearDown() override {
        delete GetLevel();
        m_script = nullptr;
        m_input = nullptr;
        m_car = nullptr;
        m_object = nullptr;
        g_soundVolume = g_musicVolume = g_brightness = 0.5f;
        g_mouse = 0.0f;
        g_difficulty = 0;
        RegisteredGameTablesTest::TearDown();
    }

    // Calls every function of the table with each value in every argument place, with the value
    // first and the car or object before it, and with the value alone; returns the error text of
    // the first call the chunk itself could not make.
    std::string CallAll(const luaL_Reg* table) {
        std::string failures;
        for (; table->name; ++table) {
            for (const char* value : kValues) {
                const std::string v = std::string("(") + value + ")";
                const std::string name = table->name;
                const std::string chunk = "local v = " + v + "\n" +
                                          "pcall(" + name + ", v, v, v, v, v, v, v, v, v, v, v, v)\n" +
                                          "pcall(" + name + ", car, v, v, v, v)\n" +
                                          "pcall(" + name + ", object, v, 'child', v)\n" +
                                          "pcall(" + name + ", 'hmgun', v, v, v, v, v, v, v, v, v, v)\n" +
                                          "pcall(" + name + ", v)\n";
                const std::string error = Run(*m_script, chunk);
                if (!error.empty()) failures += name + " with " + value + ": " + error + "\n";
            }
        }
        return failures;
    }

    void CallEverything(const luaL_Reg* table) {
        EXPECT_EQ(CallAll(table), "");
        // The scripts go on, and the game data is still one a save can hold.
        EXPECT_EQ(Run(*m_script, "n, saves = GetSaves() m = GetMoney()"), "");
        EXPECT_EQ(GlobalNumber(*m_script, "n"), 13.0);
        for (int32_t level : m_data.committedSetup.weaponLevels) EXPECT_TRUE(level >= 0 && level <= 4);
    }

    // A level that the functions may also delete (DeleteLevel), with the car and the object.
    void StartLevel() {
        CPLevel* level = new CPLevel;
        level->playerCar = m_car;
        level->activeObjects.push_back(m_object);
    }

    CPGameData m_data;
    CPObjectLoader m_loader;
    CNAudio m_audio;
    TPtr<CNInput> m_input{new CNInput};
    TPtr<CPLuaScript> m_script;
    TPtr<CPPlayerCar> m_car;
    TPtr<CPGameObject> m_object;
};

TEST_F(HostileArgumentsTest, GameTableWithoutALevel) { CallEverything(GetGameFunctions()); }
TEST_F(HostileArgumentsTest, InterfaceTableWithoutALevel) { CallEverything(GetInterfaceFunctions()); }

TEST_F(HostileArgumentsTest, GameTableWithALevelAndThePlayerCar) {
    StartLevel();
    CallEverything(GetGameFunctions());
}

TEST_F(HostileArgumentsTest, InterfaceTableWithALevelAndThePlayerCar) {
    StartLevel();
    CallEverything(GetInterfaceFunctions());
}

}  // namespace
