#pragma once
// The weapons fixture in a working folder with two running scripts whose commands the tests
// read: "gamemenu" (by name) and "announcer" (of the category "main"); and the game data.
#include <string>
#include <vector>

#include "game/PGameData.h"
#include "game/PPlayerCar.h"
#include "script/PLuaScript.h"
#include "script/PScriptManager.h"
#include "support/WorkingFolder.h"
#include "support/ReceivedCommands.h"
#include "weapons_fixture.h"

class ScriptedWeaponsTest : public WeaponsTest {
protected:
    void SetUp() override {
        WeaponsTest::SetUp();
        m_folder.Write("Data/Scripts/list.dat", "gamemenu t_interface\nannouncer t_system main\n");
        m_folder.Write("Data/Scripts/gamemenu.lua", "Update()");
        m_folder.Write("Data/Scripts/announcer.lua", "Update()");
        m_scripts = new CPScriptManager;
        ASSERT_TRUE(m_scripts->LoadList());
        for (const char* name : {"gamemenu", "announcer"}) ASSERT_TRUE(m_scripts->GetScript(name)->Start());
        m_data = new CPGameData;
    }
    void TearDown() override {
        m_car = nullptr;
        m_world.car = nullptr;
        WeaponsTest::TearDown();
        delete m_data;
        delete m_scripts;
        CollectGarbage();
    }

    // The player's car at the position, known to the weapons' world.
    CPPlayerCar& PlaceCar(const PVector3& position) {
        m_car = new CPPlayerCar;
        m_car->SetPosition(position);
        m_car->UpdateTransform();
        m_world.car = m_car.Get();
        return *m_car;
    }

    // The commands the script received since the last call, as "command(params)".
    std::vector<std::string> Commands(const char* script = "gamemenu") {
        return testsupport::ReceivedCommands(*m_scripts->GetScript(script));
    }

    // How many live objects of the prototype there are.
    size_t LiveCount(const std::string& name) const {
        size_t count = 0;
        for (const auto& object : m_weapons->GetLiveObjects()) count += object->GetName() == name;
        return count;
    }

    testsupport::WorkingFolder m_folder;
    CPScriptManager* m_scripts = nullptr;
    CPGameData* m_data = nullptr;
    TPtr<CPPlayerCar> m_car;
};
