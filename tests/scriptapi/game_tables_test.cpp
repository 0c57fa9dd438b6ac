// The game's function tables reach every script created after their registration.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "Render/PAVIPlayer.h"
#include "Render/PTextureCache.h"
#include "Render/PGameObject.h"
#include "game/PGameData.h"
#include "game/PPlayerCar.h"
#include "scriptapi/EngineFunctions.h"
#include "script/ScriptHandles.h"
#include "scriptapi/game_functions_fixture.h"
#include "scriptapi/GameFunctionTables.h"
#include "core/SettingsVariables.h"
#include "Sound/NAudio.h"
#include "Sound/PMusic.h"

namespace {

class GameTablesTest : public RegisteredGameTablesTest {};

TEST_F(GameTablesTest, GetIntTruncatesTowardZeroLikeToInt) {
    TPtr<CPLuaScript> script = LoadScript("ints", "");
    EXPECT_EQ(Run(*script, "a = GetInt(2.9) b = GetInt(-2.9) c = ToInt(-2.9) d = GetInt('x')"), "");
    EXPECT_EQ(GlobalNumber(*script, "a"), 2.0);
    EXPECT_EQ(GlobalNumber(*script, "b"), -2.0);
    EXPECT_EQ(GlobalNumber(*script, "c"), -2.0);
    EXPECT_EQ(GlobalNumber(*script, "d"), 0.0);
}

TEST_F(GameTablesTest, ScriptsStopStartAndClearTheFrameTimer) {
    CPKernel kernel;
    TPtr<CPGlobalTimer> timer(new CPGlobalTimer);
    timer->SetPriority(10);
    ASSERT_TRUE(kernel.AddTask(timer));
    TPtr<CPLuaScript> script = LoadScript("timer", "");

    EXPECT_EQ(Run(*script, "StopGlobalTimer() stopped = IsTimerStopped()"), "");
    EXPECT_EQ(GlobalText(*script, "stopped"), "true");
    EXPECT_EQ(g_frameDelta, 0.0f);

    EXPECT_EQ(Run(*script, "StartGlobalTimer() stopped = IsTimerStopped()"), "");
    EXPECT_EQ(GlobalText(*script, "stopped"), "false");

    g_timeScale = 0.5f;
    EXPECT_EQ(Run(*script, "ClearTimer()"), "");
    EXPECT_EQ(g_timeScale, 1.0f);
    EXPECT_EQ(g_frameDelta, 0.0f);
}

// The full game table, in registration order.
const char* const kGameTable[] = {
        "SetKills", "GetChar", "GetAICount", "InitPlayer", "Shot", "GetEnemyData", "StopScript",
        "CrossPlayerRay", "ClearTimer", "SetActions", "PlaySpecialSound3D", "PlaySpecialSound",
        "UpdateInterface", "CreateInterface", "ActivateInterface", "DeactivateInterface", "SetDefaultCamera",
        "InitLevel", "StartLevel", "StopLevel", "DeleteLevel", "SetCameraPos", "SetCameraZAngle",
        "SetCarParams", "SetWeaponPos", "CrossInterfaceRay", "GetWeaponInfo", "GetMineInfo",
        "GetSuperWeaponInfo", "GetBumperInfo", "GetEquipmentInfo", "GetArmorInfo", "GetEngineInfo",
        "GetWeaponNames", "GetMineNames", "GetSuperWeaponNames", "GetBumperNames", "GetEquipmentNames",
        "GetArmorNames", "GetEngineNames", "SetWindowVisible", "SetWindowPosition", "SetText",
        "SetTextString", "SaveLog", "GetCarInfo", "SetCarInfo", "SetMoney", "GetMoney",
        "IsValidGameDataName", "AddEnemy", "GetPlayerPosition", "GetPositionForEnemy", "GetEnemyType",
        "LoadMissionInfo", "GetCheckPointInfo", "IsEnemySourceNear", "GetCheckPointsCount",
        "UpdateInterfaceBuffers", "SetLevelTime", "SetBonus", "CommitCarSettings", "SmartBomb",
        "SetWindowPositionShop", "StopSounds", "PlayMusicNoLoop", "GetSoundVolume", "SetSoundVolume",
        "GetMusicVolume", "SetMusicVolume", "GetMouse", "SetMouse", "GetBrightness", "SetBrightness",
        "GetMusicName", "GetActionNames", "SetAssignKey", "SetAction", "GetCurrentMission",
        "SetCurrentMission", "SaveGame", "LoadGame", "GetSaves", "ChangeCheckpointPosition", "AutoSetting",
        "GetCurrentResolution", "DumpAIInfo", "SetDifficulty", "GetDifficult", "IsTimerStopped", "GetString",
        "GetInt", "SaveActions", "SetTextPosition", "SetFullMines", "SetBonus2", "IsFileExists",
        "GetTextureSize", "GoURL", "SetWindowSize",
};

// The full interface table, in registration order.
const char* const kInterfaceTable[] = {
        "AddScore", "GetScore", "IsInTable", "SetScoreLine", "GetScoreLine", "PlayerShot", "Jump",
        "SetCursor", "EngineState", "GetCursor", "PlayVideo", "StopVideo", "UpdateScore", "UpdateTime",
        "ShowCheckPoint", "KillPlayer", "DamagePlayer", "SetShot", "SetMineShot", "IsRigid",
        "StartAnimation", "FindObject", "SetCurrentWeapon", "SetPrevWeapon", "SetNextWeapon",
        "GetRealCarInfo", "GetWindowPosition", "InitGameInterface", "UpdateGameInterface", "StopGlobalTimer",
        "StartGlobalTimer", "ClearGlobalTimer", "SetDifficult", "GetDifficulty", "GetPlayerDirection",
        "GetMoveDirection", "GetRotateDirection", "UpdateScore2", "GetTextPosition",
};

// Walks a registered table against the full one: every registered name must be in the full
// table, after the one registered before it. Returns the names of the full table that are not
// registered.
template <size_t N>
std::vector<std::string> MissingFrom(const luaL_Reg* table, const char* const (&full)[N]) {
    std::vector<std::string> missing;
    size_t next = 0;
    for (; table->name; ++table) {
        size_t at = next;
        while (at < N && std::string_view(full[at]) != table->name) ++at;
        EXPECT_LT(at, N) << table->name << " is not in the table, or out of its order";
        if (at == N) continue;
        missing.insert(missing.end(), full + next, full + at);
        next = at + 1;
    }
    missing.insert(missing.end(), full + next, full + N);
    return missing;
}

std::string Listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

TEST_F(GameTablesTest, TheTablesHoldTheirNamesInTheirOrder) {
    static_assert(std::size(kGameTable) == 100 && std::size(kInterfaceTable) == 39);
    const std::vector<std::string> missingGame = MissingFrom(GetGameFunctions(), kGameTable);
    const std::vector<std::string> missingInterface = MissingFrom(GetInterfaceFunctions(), kInterfaceTable);
    EXPECT_TRUE(missingGame.empty()) << "not registered: " << Listed(missingGame);
    EXPECT_TRUE(missingInterface.empty()) << "not registered: " << Listed(missingInterface);
}

TEST_F(GameTablesTest, ClearGlobalTimerAlsoPutsSoundsBackAtTheirOwnRate) {
    TPtr<CPLuaScript> script = LoadScript("timer", "");
    g_timeScale = 0.5f;
    g_frameDelta = 0.2f;
    CNSound::SetFrequencyFactor(0.5f);
    EXPECT_EQ(Run(*script, "ClearGlobalTimer()"), "");
    EXPECT_EQ(g_timeScale, 1.0f);
    EXPECT_EQ(g_frameDelta, 0.0f);
    EXPECT_EQ(CNSound::GetFrequencyFactor(), 1.0f);
}

TEST_F(GameTablesTest, ScriptsSetTheVolumesWithinZeroToOneAndReadThemBack) {
    TPtr<CPLuaScript> script = LoadScript("options", "");
    const struct {
        const char* set;
        float stored;
    } cases[] = {{"0.25", 0.25f}, {"3", 1.0f}, {"-1", 0.0f}, {"'x'", 0.0f}, {"0.75", 0.75f}};
    // Without the audio (a start-up that failed early) the settings still change.
    for (const auto& c : cases) {
        EXPECT_EQ(Run(*script, std::string("SetSoundVolume(") + c.set + ") SetMusicVolume(" + c.set +
                                   ") s = GetSoundVolume() m = GetMusicVolume()"),
                  "");
        EXPECT_FLOAT_EQ(GlobalNumber(*script, "s"), c.stored) << c.set;
        EXPECT_FLOAT_EQ(GlobalNumber(*script, "m"), c.stored) << c.set;
    }
    {
        CNAudio audio;
        TPtr<CPMusic> music(new CPMusic);
        EXPECT_EQ(Run(*script, "SetSoundVolume(0.4) SetMusicVolume(2)"), "");
        EXPECT_FLOAT_EQ(CNSound::GetGlobalVolume(), 0.4f) << "every live sound gets the new volume";
        EXPECT_FLOAT_EQ(music->GetVolume(), 1.0f);
    }
    CollectGarbage();
    g_soundVolume = 0.5f;
    g_musicVolume = 0.5f;
}

TEST_F(GameTablesTest, PlayVideoAddsThePlayerEvenForAVideoThatCannotPlayAndStopVideoStopsIt) {
    CPKernel kernel;
    CPTextureCache textures;
    TPtr<CPLuaScript> script = LoadScript("video", "");
    EXPECT_EQ(Run(*script, "PlayVideo('none.ogg')"), "");
    ASSERT_EQ(kernel.GetActiveTasks().size(), 1u);
    EXPECT_EQ(kernel.GetActiveTasks().front().Get(), GetAVIPlayer());
    EXPECT_EQ(GetAVIPlayer()->GetPriority(), 400);
    EXPECT_FALSE(GetAVIPlayer()->IsPlaying());
    EXPECT_EQ(textures.GetTexture("video", true)->GetName(), "video");

    EXPECT_EQ(Run(*script, "StopVideo()"), "");
    EXPECT_TRUE(GetAVIPlayer()->IsKilled());
    EXPECT_NE(Run(*script, "PlayVideo({})"), "");
}

TEST_F(GameTablesTest, DeactivateInterfaceIsDeactivateObject) {
    TPtr<CPLuaScript> script = LoadScript("screens", "");
    TPtr<CPGameObject> screen(new CPGameObject("screen"));
    SetHandle(*script, "screen", screen.Get());

    auto function = [](const luaL_Reg* table, const char* name) -> lua_CFunction {
        for (; table->name; ++table) {
            if (std::string_view(table->name) == name) return table->func;
        }
        return nullptr;
    };
    EXPECT_NE(function(GetGameFunctions(), "DeactivateInterface"), nullptr);
    EXPECT_EQ(function(GetGameFunctions(), "DeactivateInterface"), function(GetEngineFunctions(), "DeactivateObject"));
    screen->Activate(0);
    EXPECT_EQ(Run(*script, "DeactivateInterface(nil) DeactivateInterface(globalObject) DeactivateInterface(screen)"),
              "");
    EXPECT_FALSE(screen->IsActive());
}

// SetCarParams (car, throttle, steering) hands the driver's input to the player car; anything but
// a live player car is passed over, and what is no finite number counts as 0.
TEST_F(GameTablesTest, SetCarParamsDrivesOnlyThePlayerCar) {
    TPtr<CPLuaScript> script = LoadScript("driver", "");
    TPtr<CPPlayerCar> car(new CPPlayerCar);
    TPtr<CPGameObject> other(new CPGameObject("PLAYER"));
    SetHandle(*script, "car", car.Get());
    SetHandle(*script, "other", other.Get());
    struct Case {
        const char* call;
        float throttle;
        float steering;
    };
    const Case cases[] = {
        {"SetCarParams(car, 1, 0.25)", 1.0f, 0.25f},
        {"SetCarParams(other, 0, 0.5) SetCarParams(nil, 0, 0.5) SetCarParams(globalObject, 0, 0.5)", 1.0f, 0.25f},
        {"SetCarParams(car, -0.5, -0.1)", -0.5f, -0.1f},
        {"SetCarParams(car, 0/0, 1e308)", 0.0f, 0.0f},
        {"SetCarParams(car, 'x')", 0.0f, 0.0f},
        {"SetCarParams(car, '0.5', -1e-3)", 0.5f, -1e-3f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        EXPECT_EQ(Run(*script, c.call), "");
        EXPECT_EQ(car->throttle, c.throttle);
        EXPECT_EQ(car->steering, c.steering);
    }
}

TEST_F(GameTablesTest, SettingsFunctionsReadAndWriteTheSettings) {
    TPtr<CPLuaScript> script = LoadScript("settings", "");
    struct Case {
        const char* call;
        const char* result;
        const char* expected;
    };
    const Case cases[] = {
        {"SetBrightness(0)", "GetBrightness()", "0.05"},
        {"SetBrightness(0.05)", "GetBrightness()", "0.05"},
        {"SetBrightness(0.7)", "GetBrightness()", "0.7"},
        {"SetBrightness('x')", "GetBrightness()", "0.05"},
        {"SetMouse(0.25)", "GetMouse()", "0.25"},
        {"SetMouse(0/0) SetMouse(1/0) SetMouse(-1e39)", "GetMouse()", "0.25"},
        {"SetDifficulty(1.9)", "GetDifficulty()", "true"},
        {"SetDifficulty(-0.5)", "GetDifficulty()", "false"},
        {"SetDifficulty(nil)", "GetDifficulty()", "false"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Run(*script, std::string(c.call) + " local v = " + c.result +
                                   " r = type(v) == 'number' and string.format('%.6g', v) or tostring(v)"),
                  "")
            << c.call;
        EXPECT_EQ(GlobalText(*script, "r"), c.expected) << c.call;
    }
    ASSERT_EQ(Run(*script, "SetDifficulty(1.9)"), "");
    EXPECT_EQ(g_difficulty, 1);
    ASSERT_EQ(Run(*script, "w, h = GetCurrentResolution()"), "");
    EXPECT_EQ(GlobalNumber(*script, "w"), g_screenWidth);
    EXPECT_EQ(GlobalNumber(*script, "h"), g_screenHeight);
    g_brightness = 0.5f;
    g_mouse = 0.0f;
    g_difficulty = 0;
}

TEST_F(GameTablesTest, GetRotateDirectionTurnsTowardTheScreenDirection) {
    TPtr<CPLuaScript> script = LoadScript("turn", "");
    struct Case {
        double dx, dy;
        double turn;
        bool aligned;
    };
    const double quarter = 1.5707963;
    const Case cases[] = {
        {0, 5, 0.0, true},          // straight along the heading
        {0, 0.9, quarter, false},   // truncates to the zero vector
        {3, 0, quarter, false},
        {-3, 0, -quarter, false},
        {1, 10, 0.0996687, true},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Run(*script, "t, a = GetRotateDirection(nil, nil, " + std::to_string(c.dx) + ", " +
                                   std::to_string(c.dy) + ") a = tostring(a)"),
                  "");
        EXPECT_NEAR(GlobalNumber(*script, "t"), c.turn, 1e-5) << c.dx << ", " << c.dy;
        EXPECT_EQ(GlobalText(*script, "a"), c.aligned ? "true" : "false") << c.dx << ", " << c.dy;
    }
}

// Weapons ("hmgun", "", "firethrower"): cycling either way from slot 0 reaches slot 2; the
// triggers hold only when the car can use them; SetCurrentWeapon takes the car's child of the name.
TEST_F(GameTablesTest, TheWeaponFunctionsDriveThePlayersCar) {
    CPGameData data;
    data.committedSetup.weapons = {"hmgun", "", "firethrower"};
    TPtr<CPPlayerCar> car(new CPPlayerCar);
    for (const char* model : {"hmgun", "firethrower"}) car->AddChild(TPtr<CPGameObject>(new CPGameObject(model)));
    TPtr<CPLuaScript> script = LoadScript("weapons", "");
    SetHandle(*script, "car", car.Get());

    car->currentWeapon = 0;
    EXPECT_EQ(Run(*script, "SetPrevWeapon(car)"), "");
    EXPECT_EQ(car->currentWeapon, 2);
    EXPECT_EQ(car->weaponModel->GetName(), "firethrower");
    car->currentWeapon = 0;
    EXPECT_EQ(Run(*script, "SetNextWeapon(car)"), "");
    EXPECT_EQ(car->currentWeapon, 2);

    const struct {
        const char* call;
        int32_t slot;
        bool reloading, mineLayer;
        bool fire, mine;
    } triggers[] = {
        {"SetShot(car, true) SetMineShot(car, true)", 0, false, false, true, false},
        {"SetShot(car, 1) SetMineShot(car, 1)", 0, false, true, true, true},
        {"SetShot(car, false) SetMineShot(car, nil)", 0, false, true, false, false},
        {"SetShot(car, true)", -1, false, false, false, false},
        {"SetShot(car, true)", 2, true, false, false, false},
    };
    for (const auto& t : triggers) {
        SCOPED_TRACE(t.call);
        car->currentWeapon = t.slot;
        car->reloading = t.reloading;
        car->hasMineLayer = t.mineLayer;
        car->mineTrigger = false;
        EXPECT_EQ(Run(*script, t.call), "");
        EXPECT_EQ(car->fireTrigger, t.fire);
        EXPECT_EQ(car->mineTrigger, t.mine);
    }

    EXPECT_EQ(Run(*script, "SetCurrentWeapon(car, 'hmgun')"), "");
    EXPECT_EQ(car->weaponModel->GetName(), "hmgun");
    EXPECT_EQ(Run(*script, "SetCurrentWeapon(car, 'laser')"), "");
    EXPECT_FALSE(car->weaponModel);
    EXPECT_NE(Run(*script, "SetCurrentWeapon(car, nil)"), "") << "the name must be a string";

    car->reloading = false;
    car->currentWeapon = 0;
    EXPECT_EQ(Run(*script, "SetShot(nil, true) SetMineShot(globalObject, true) SetNextWeapon(0) "
                           "SetPrevWeapon('car') SetCurrentWeapon(nil, 'hmgun')"),
              "");
    EXPECT_FALSE(car->fireTrigger);
    EXPECT_EQ(car->currentWeapon, 0);
}

}  // namespace
