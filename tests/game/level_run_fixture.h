#pragma once
// A level fixture with a kernel and three running scripts whose commands the test reads:
// "gamemenu" (by name), "lvl" (category "level") and "main" (category "main").
#include <string>
#include <vector>

#include "core/PKernel.h"
#include "game/PGameData.h"
#include "level_fixture.h"
#include "script/PScriptManager.h"
#include "support/ReceivedCommands.h"

class LevelRunTest : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        m_folder.Write("data/scripts/list.dat", "gamemenu t_interface\nlvl t_level level\nmain t_system main\n");
        for (const char* name : {"gamemenu", "lvl", "main"}) m_folder.Write(std::string("data/scripts/") + name + ".lua", "Update()");
        platform::InvalidateListings();
        m_scripts = new CPScriptManager;
        ASSERT_TRUE(m_scripts->LoadList());
        for (const char* name : {"gamemenu", "lvl", "main"}) m_scripts->GetScript(name)->Start();
    }
    void TearDown() override
    {
        LevelTest::TearDown();
        delete m_scripts;
        g_frameDelta = 0.0f;
        CollectGarbage();
    }

    // The commands the script received since the last call, as "command(params)"; but for the
    // car's "change_money" of every frame.
    std::vector<std::string> Commands(const char* script)
    {
        return testsupport::ReceivedCommands(*m_scripts->GetScript(script), "change_money");
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
    CPScriptManager* m_scripts = nullptr;
};
