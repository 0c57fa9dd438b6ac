#include "scriptapi/GameFunctionTables.h"

#include <lua.hpp>

#include "script/EngineFunctions.h"
#include "script/PLuaScript.h"
#include "script/ScriptTimerFunctions.h"
#include "scriptapi/AIFunctions.h"
#include "scriptapi/CameraFunctions.h"
#include "scriptapi/PlayerCarFunctions.h"
#include "scriptapi/SettingsFunctions.h"
#include "scriptapi/SoundFunctions.h"
#include "scriptapi/VideoFunctions.h"
#include "scriptapi/WeaponFunctions.h"

namespace {

const luaL_Reg kGameFunctions[] = {
    {"GetAICount", ScriptGetAICount},
    {"Shot", ScriptShot},
    {"GetEnemyData", ScriptGetEnemyData},
    {"ClearTimer", ScriptClearTimer},
    {"PlaySpecialSound", ScriptPlaySpecialSound},
    {"DeactivateInterface", ScriptDeactivateObject},
    {"SetDefaultCamera", ScriptSetDefaultCamera},
    {"SetCarParams", ScriptSetCarParams},
    {"AddEnemy", ScriptAddEnemy},
    {"GetPositionForEnemy", ScriptGetPositionForEnemy},
    {"GetEnemyType", ScriptGetEnemyType},
    {"LoadMissionInfo", ScriptLoadMissionInfo},
    {"GetCheckPointInfo", ScriptGetCheckPointInfo},
    {"IsEnemySourceNear", ScriptIsEnemySourceNear},
    {"GetCheckPointsCount", ScriptGetCheckPointsCount},
    {"SmartBomb", ScriptSmartBomb},
    {"GetSoundVolume", ScriptGetSoundVolume},
    {"SetSoundVolume", ScriptSetSoundVolume},
    {"GetMusicVolume", ScriptGetMusicVolume},
    {"SetMusicVolume", ScriptSetMusicVolume},
    {"GetMouse", ScriptGetMouse},
    {"SetMouse", ScriptSetMouse},
    {"GetBrightness", ScriptGetBrightness},
    {"SetBrightness", ScriptSetBrightness},
    {"GetCurrentResolution", ScriptGetCurrentResolution},
    {"DumpAIInfo", ScriptDumpAIInfo},
    {"SetDifficulty", ScriptSetDifficulty},
    {"IsTimerStopped", ScriptIsTimerStopped},
    {"GetInt", ScriptToInt},
    {"SetBonus2", ScriptSetBonus2},
    {nullptr, nullptr},
};

const luaL_Reg kInterfaceFunctions[] = {
    {"PlayVideo", ScriptPlayVideo},
    {"StopVideo", ScriptStopVideo},
    {"SetShot", ScriptSetShot},
    {"SetMineShot", ScriptSetMineShot},
    {"SetCurrentWeapon", ScriptSetCurrentWeapon},
    {"SetPrevWeapon", ScriptSetPrevWeapon},
    {"SetNextWeapon", ScriptSetNextWeapon},
    {"StopGlobalTimer", ScriptStopGlobalTimer},
    {"StartGlobalTimer", ScriptStartGlobalTimer},
    {"ClearGlobalTimer", ScriptClearGlobalTimer},
    {"GetDifficulty", ScriptGetDifficulty},
    {"GetRotateDirection", ScriptGetRotateDirection},
    {nullptr, nullptr},
};

}  // namespace

const luaL_Reg* GetGameFunctions() { return kGameFunctions; }
const luaL_Reg* GetInterfaceFunctions() { return kInterfaceFunctions; }

void RegisterGameFunctionTables() { CPLuaScript::SetGameTables(kGameFunctions, kInterfaceFunctions); }
