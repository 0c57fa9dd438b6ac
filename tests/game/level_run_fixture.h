#pragma once
// A level fixture with a kernel and three running scripts whose commands the test reads:
// "gamemenu" (by name), "lvl" (category "level") and "main" (category "main").
#include <string>
#include <vector>

#include "core/PKernel.h"
#include "game/PGameData.h"
#include "level_fixture.h"
#include "support/RunningScripts.h"

class LevelRunTest : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        ASSERT_TRUE(m_scripts.Start({"gamemenu t_interface", "lvl t_level level", "main t_system main"}));
    }
    void TearDown() override
    {
        LevelTest::TearDown();
        m_scripts.Stop();
        g_frameDelta = 0.0f;
    }

    // The commands the script received since the last call, as "command(params)"; but for the
    // car's "change_money" of every frame.
    std::vector<std::string> Commands(const char* script)
    {
        return m_scripts.Commands(script, "change_money");
    }
    void DropCommands()
    {
        for (const char* name : {"gamemenu", "lvl", "main"}) Commands(name);
    }

    // One level update of the frame time.
    void Frame(float seconds = 0.05f)
    {
        g_frameDelta = seconds;
        m_level->Update();
    }
    void PutCar(const PVector3& at)
    {
        m_level->playerCar->SetPosition(at);
        m_level->playerCar->UpdateTransform();
    }

    CPKernel m_kernel;
    CPGameData m_data;
    testsupport::RunningScripts m_scripts;
};
