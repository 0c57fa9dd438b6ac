// The sample HUD's script "gamemenu": money changed while the HUD is not shown (in the shop, where
// "change_money" finds no running HUD to reach) is what the HUD shows once it comes up, and the
// money the level sends later follows.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <cstdlib>
#include <string>

#include "InProcessGame.h"
#include "Render/PRender.h"
#include "WorkingFolder.h"
#include "app/Application.h"
#include "game/PGameData.h"
#include "interface/PInterface.h"
#include "script/PLuaScript.h"
#include "script/PScriptManager.h"

namespace {

// Stands in for the counters of the interface table: each call is noted in "shown" as
// "name=value", so the test reads what the script asked the HUD to show.
constexpr char kCounterProbe[] = R"(
shown = ''
function UpdateScore(hud, value) shown = shown .. 'score=' .. value .. ';' end
function UpdateScore2(hud, value) shown = shown .. 'score2=' .. value .. ';' end
function UpdateTime(hud) end
)";

class SampleHudTest : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
    void TearDown() override { unsetenv("SDL_VIDEODRIVER"); }

    // What the probe noted since the last call.
    static std::string Shown(CPLuaScript& script) {
        lua_State* state = script.GetState();
        lua_getglobal(state, "shown");
        const std::string shown = lua_isstring(state, -1) ? lua_tostring(state, -1) : "";
        lua_pop(state, 1);
        luaL_dostring(state, "shown = ''");
        return shown;
    }

    apptest::WorkingFolder m_folder;
};

TEST_F(SampleHudTest, TheHudShowsTheMoneySpentWhileItWasHiddenAndThenEveryChange) {
    CPApplication application;
    application.Init();
    ASSERT_TRUE(GetScriptManager()->LoadList());
    TPtr<CPRender> render;
    ASSERT_TRUE(apptest::OpenWindowWithRenderer(application, render));
    TPtr<CPLuaScript> gamemenu = GetScriptManager()->GetScript("gamemenu");
    ASSERT_TRUE(gamemenu);
    ASSERT_EQ(luaL_dostring(gamemenu->GetState(), kCounterProbe), 0);

    GetGameData()->SetMoney(750.0f);  // a purchase in the shop: its "change_money" is dropped
    TPtr<CPInterface> hud(new CPInterface);
    hud->Load("hud", 0);
    hud->Activate(200);
    gamemenu->Update();
    EXPECT_EQ(Shown(*gamemenu), "score=750;score2=0;");

    GetScriptManager()->SendCommandByName("gamemenu", "set_money", "800.000000");
    GetScriptManager()->SendCommandByName("gamemenu", "change_money", "825.500000");
    GetScriptManager()->SendCommandByName("gamemenu", "kills", "3");
    gamemenu->Update();
    EXPECT_EQ(Shown(*gamemenu), "score=800;score=825.5;score2=3;");

    hud->Deactivate();
    gamemenu = nullptr;
    hud = nullptr;
    render = nullptr;
    CollectGarbage();
}

}  // namespace
