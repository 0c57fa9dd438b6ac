#pragma once
// The weapons fixture in a working folder with two running scripts whose commands the tests
// read: "gamemenu" (by name) and "announcer" (of the category "main"); and the game data.
#include <string>
#include <vector>

#include "game/PGameData.h"
#include "game/PPlayerCar.h"
#include "support/RunningScripts.h"
#include "support/WorkingFolder.h"
#include "weapons_fixture.h"

class ScriptedWeaponsTest : public WeaponsTest {
protected:
    void SetUp() override {
        WeaponsTest::SetUp();
        ASSERT_TRUE(m_scripts.Start({"gamemenu t_interface", "announcer t_system main"}));
        m_data = new CPGameData;
    }
    void TearDown() override {
        m_car = nullptr;
        m_world.car = nullptr;
        WeaponsTest::TearDown();
        delete m_data;
        m_scripts.Stop();
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
        return m_scripts.Commands(script);
    }

    // How many live objects of the prototype there are.
    size_t LiveCount(const std::string& name) const {
        size_t count = 0;
        for (const auto& object : m_weapons->GetLiveObjects()) count += object->GetName() == name;
        return count;
    }

    testsupport::WorkingFolder m_folder;
    testsupport::RunningScripts m_scripts;
    CPGameData* m_data = nullptr;
    TPtr<CPPlayerCar> m_car;
};
