#include "scriptapi/GameFunctionTables.h"

#include <lua.hpp>

#include "script/EngineFunctions.h"
#include "script/PLuaScript.h"
#include "script/ScriptTimerFunctions.h"
#include "scriptapi/AIFunctions.h"
#include "scriptapi/AnimationFunctions.h"
#include "scriptapi/CameraFunctions.h"
#include "scriptapi/LevelFunctions.h"
#include "scriptapi/RayFunctions.h"
#include "scriptapi/DirectionFunctions.h"
#include "scriptapi/KeyBindingFunctions.h"
#include "scriptapi/PlayerCarFunctions.h"
#include "scriptapi/SaveFunctions.h"
#include "scriptapi/ScoreFunctions.h"
#include "scriptapi/SettingsFunctions.h"
#include "scriptapi/ShopFunctions.h"
#include "scriptapi/SoundFunctions.h"
#include "scriptapi/VideoFunctions.h"
#include "scriptapi/WeaponFunctions.h"

namespace {

const luaL_Reg kGameFunctions[] = {
    {"SetKills", ScriptSetKills},
    {"GetAICount", ScriptGetAICount},
    {"InitPlayer", ScriptInitPlayer},
    {"Shot", ScriptShot},
    {"GetEnemyData", ScriptGetEnemyData},
    {"StopScript", ScriptStopScript},
    {"CrossPlayerRay", ScriptCrossPlayerRay},
    {"ClearTimer", ScriptClearTimer},
    {"SetActions", ScriptSetActions},
    {"PlaySpecialSound3D", ScriptPlaySpecialSound3D},
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
    {"GetWeaponInfo", ScriptGetWeaponInfo},
    {"GetMineInfo", ScriptGetMineInfo},
    {"GetSuperWeaponInfo", ScriptGetSuperWeaponInfo},
    {"GetBumperInfo", ScriptGetBumperInfo},
    {"GetEquipmentInfo", ScriptGetEquipmentInfo},
    {"GetArmorInfo", ScriptGetArmorInfo},
    {"GetEngineInfo", ScriptGetEngineInfo},
    {"GetWeaponNames", ScriptGetWeaponNames},
    {"GetMineNames", ScriptGetMineNames},
    {"GetSuperWeaponNames", ScriptGetSuperWeaponNames},
    {"GetBumperNames", ScriptGetBumperNames},
    {"GetEquipmentNames", ScriptGetEquipmentNames},
    {"GetArmorNames", ScriptGetArmorNames},
    {"GetEngineNames", ScriptGetEngineNames},
    {"GetCarInfo", ScriptGetCarInfo},
    {"SetCarInfo", ScriptSetCarInfo},
    {"SetMoney", ScriptSetMoney},
    {"GetMoney", ScriptGetMoney},
    {"IsValidGameDataName", ScriptIsValidGameDataName},
    {"AddEnemy", ScriptAddEnemy},
    {"GetPlayerPosition", ScriptGetPlayerPosition},
    {"GetPositionForEnemy", ScriptGetPositionForEnemy},
    {"GetEnemyType", ScriptGetEnemyType},
    {"LoadMissionInfo", ScriptLoadMissionInfo},
    {"GetCheckPointInfo", ScriptGetCheckPointInfo},
    {"IsEnemySourceNear", ScriptIsEnemySourceNear},
    {"GetCheckPointsCount", ScriptGetCheckPointsCount},
    {"SetLevelTime", ScriptSetLevelTime},
    {"CommitCarSettings", ScriptCommitCarSettings},
    {"SmartBomb", ScriptSmartBomb},
    {"StopSounds", ScriptStopSounds},
    {"PlayMusicNoLoop", ScriptPlayMusicNoLoop},
    {"GetSoundVolume", ScriptGetSoundVolume},
    {"SetSoundVolume", ScriptSetSoundVolume},
    {"GetMusicVolume", ScriptGetMusicVolume},
    {"SetMusicVolume", ScriptSetMusicVolume},
    {"GetMouse", ScriptGetMouse},
    {"SetMouse", ScriptSetMouse},
    {"GetBrightness", ScriptGetBrightness},
    {"SetBrightness", ScriptSetBrightness},
    {"GetMusicName", ScriptGetMusicName},
    {"GetActionNames", ScriptGetActionNames},
    {"SetAssignKey", ScriptSetAssignKey},
    {"GetCurrentMission", ScriptGetCurrentMission},
    {"SetCurrentMission", ScriptSetCurrentMission},
    {"SaveGame", ScriptSaveGame},
    {"LoadGame", ScriptLoadGame},
    {"GetSaves", ScriptGetSaves},
    {"ChangeCheckpointPosition", ScriptChangeCheckpointPosition},
    {"AutoSetting", ScriptAutoSetting},
    {"GetCurrentResolution", ScriptGetCurrentResolution},
    {"DumpAIInfo", ScriptDumpAIInfo},
    {"SetDifficulty", ScriptSetDifficulty},
    {"GetDifficult", ScriptGetDifficult},
    {"IsTimerStopped", ScriptIsTimerStopped},
    {"GetInt", ScriptToInt},
    {"SaveActions", ScriptSaveActions},
    {"SetFullMines", ScriptSetFullMines},
    {"SetBonus2", ScriptSetBonus2},
    {nullptr, nullptr},
};

const luaL_Reg kInterfaceFunctions[] = {
    {"AddScore", ScriptAddScore},
    {"GetScore", ScriptGetScore},
    {"IsInTable", ScriptIsInTable},
    {"SetScoreLine", ScriptSetScoreLine},
    {"GetScoreLine", ScriptGetScoreLine},
    {"PlayerShot", ScriptPlayerShot},
    {"Jump", ScriptJump},
    {"PlayVideo", ScriptPlayVideo},
    {"StopVideo", ScriptStopVideo},
    {"ShowCheckPoint", ScriptShowCheckPoint},
    {"KillPlayer", ScriptKillPlayer},
    {"DamagePlayer", ScriptDamagePlayer},
    {"SetShot", ScriptSetShot},
    {"SetMineShot", ScriptSetMineShot},
    {"IsRigid", ScriptIsRigid},
    {"StartAnimation", ScriptStartAnimation},
    {"FindObject", ScriptFindObject},
    {"SetCurrentWeapon", ScriptSetCurrentWeapon},
    {"SetPrevWeapon", ScriptSetPrevWeapon},
    {"SetNextWeapon", ScriptSetNextWeapon},
    {"GetRealCarInfo", ScriptGetRealCarInfo},
    {"StopGlobalTimer", ScriptStopGlobalTimer},
    {"StartGlobalTimer", ScriptStartGlobalTimer},
    {"ClearGlobalTimer", ScriptClearGlobalTimer},
    {"SetDifficult", ScriptSetDifficult},
    {"GetDifficulty", ScriptGetDifficulty},
    {"GetPlayerDirection", ScriptGetPlayerDirection},
    {"GetMoveDirection", ScriptGetMoveDirection},
    {"GetRotateDirection", ScriptGetRotateDirection},
    {nullptr, nullptr},
};

}  // namespace

const luaL_Reg* GetGameFunctions() { return kGameFunctions; }
const luaL_Reg* GetInterfaceFunctions() { return kInterfaceFunctions; }

void RegisterGameFunctionTables() { CPLuaScript::SetGameTables(kGameFunctions, kInterfaceFunctions); }
