#include "scriptapi/GameFunctionTables.h"

#include <lua.hpp>

#include "script/EngineFunctions.h"
#include "script/PLuaScript.h"
#include "script/ScriptTimerFunctions.h"
#include "scriptapi/CameraFunctions.h"
#include "scriptapi/LevelFunctions.h"
#include "scriptapi/PlayerCarFunctions.h"
#include "scriptapi/RayFunctions.h"
#include "scriptapi/SettingsFunctions.h"
#include "scriptapi/SoundFunctions.h"
#include "scriptapi/VideoFunctions.h"
#include "scriptapi/WeaponFunctions.h"

namespace {

const luaL_Reg kGameFunctions[] = {
    {"Shot", ScriptShot},
    {"StopScript", ScriptStopScript},
    {"CrossPlayerRay", ScriptCrossPlayerRay},
    {"ClearTimer", ScriptClearTimer},
    {"PlaySpecialSound", ScriptPlaySpecialSound},
    {"DeactivateInterface", ScriptDeactivateObject},
    {"SetDefaultCamera", ScriptSetDefaultCamera},
    {"InitLevel", ScriptInitLevel},
    {"StartLevel", ScriptStartLevel},
    {"StopLevel", ScriptStopLevel},
    {"DeleteLevel", ScriptDeleteLevel},
    {"SetCameraPos", ScriptSetCameraPos},
    {"SetCameraZAngle", ScriptSetCameraZAngle},
    {"SetCarParams", ScriptSetCarParams},
    {"SetWeaponPos", ScriptSetWeaponPos},
    {"CrossInterfaceRay", ScriptCrossInterfaceRay},
    {"GetPlayerPosition", ScriptGetPlayerPosition},
    {"SetLevelTime", ScriptSetLevelTime},
    {"SmartBomb", ScriptSmartBomb},
    {"GetSoundVolume", ScriptGetSoundVolume},
    {"SetSoundVolume", ScriptSetSoundVolume},
    {"GetMusicVolume", ScriptGetMusicVolume},
    {"SetMusicVolume", ScriptSetMusicVolume},
    {"GetMouse", ScriptGetMouse},
    {"SetMouse", ScriptSetMouse},
    {"GetBrightness", ScriptGetBrightness},
    {"SetBrightness", ScriptSetBrightness},
    {"ChangeCheckpointPosition", ScriptChangeCheckpointPosition},
    {"GetCurrentResolution", ScriptGetCurrentResolution},
    {"SetDifficulty", ScriptSetDifficulty},
    {"IsTimerStopped", ScriptIsTimerStopped},
    {"GetInt", ScriptToInt},
    {"SetFullMines", ScriptSetFullMines},
    {"SetBonus2", ScriptSetBonus2},
    {nullptr, nullptr},
};

const luaL_Reg kInterfaceFunctions[] = {
    {"PlayVideo", ScriptPlayVideo},
    {"StopVideo", ScriptStopVideo},
    {"ShowCheckPoint", ScriptShowCheckPoint},
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
