#pragma once
// The player's car with a running "gamemenu" script whose commands the tests read; a frame is
// the car's update over the given seconds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/PGlobalTimer.h"
#include "game/PPlayerCar.h"
#include "support/RunningScripts.h"
#include "support/WorkingFolder.h"

class PlayerCarFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_scripts.Start({"gamemenu t_interface"}));
        m_car = new CPPlayerCar;
    }
    void TearDown() override {
        g_frameDelta = 0.0f;
        m_car = nullptr;
        m_scripts.Stop();
    }

    void Frame(float seconds) {
        g_frameDelta = seconds;
        m_car->Update();
    }

    // The commands "gamemenu" received since the last call, as "command(params)".
    std::vector<std::string> Commands() { return m_scripts.Commands("gamemenu"); }

    testsupport::WorkingFolder m_folder;
    testsupport::RunningScripts m_scripts;
    TPtr<CPPlayerCar> m_car;
};
