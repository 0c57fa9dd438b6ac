#include "scriptapi/GameFunctionTables.h"

#include <lua.hpp>

#include "script/PLuaScript.h"
#include "script/ScriptNumbers.h"
#include "scriptapi/AIFunctions.h"
#include "scriptapi/AnimationFunctions.h"
#include "scriptapi/CameraFunctions.h"
#include "scriptapi/LevelFunctions.h"
#include "scriptapi/RayFunctions.h"
#include "scriptapi/DirectionFunctions.h"
#include "scriptapi/EngineFunctions.h"
#include "scriptapi/HudFunctions.h"
#include "scriptapi/InterfaceFunctions.h"
#include "scriptapi/KeyBindingFunctions.h"
#include "scriptapi/PlayerCarFunctions.h"
#include "scriptapi/SaveFunctions.h"
#include "scriptapi/ScoreFunctions.h"
#include "scriptapi/ScriptTimerFunctions.h"
#include "scriptapi/SettingsFunctions.h"
#include "scriptapi/ShopFunctions.h"
#include "scriptapi/SoundFunctions.h"
#include "scriptapi/VideoFunctions.h"
#include "scriptapi/WeaponFunctions.h"

namespace {

const luaL_Reg kGameFunctions[] = {
    {"SetKills", ScriptSetKills},
    {"GetChar", ScriptGetChar},
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
    {"UpdateInterface", ScriptUpdateInterface},
    {"CreateInterface", ScriptCreateInterface},
    {"ActivateInterface", ScriptActivateInterface},
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
    {"SetWindowVisible", ScriptSetWindowVisible},
    {"SetWindowPosition", ScriptSetWindowPosition},
    {"SetText", ScriptSetText},
    {"SetTextString", ScriptSetTextString},
    {"SaveLog", ScriptSaveLog},
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
    {"UpdateInterfaceBuffers", ScriptUpdateInterfaceBuffers},
    {"SetLevelTime", ScriptSetLevelTime},
    {"SetBonus", ScriptSetBonus},
    {"CommitCarSettings", ScriptCommitCarSettings},
    {"SmartBomb", ScriptSmartBomb},
    {"SetWindowPositionShop", ScriptSetWindowPositionShop},
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
    {"SetAction", ScriptSetAction},
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
    {"GetString", ScriptGetString},
    {"GetInt", ScriptToInt},
    {"SaveActions", ScriptSaveActions},
    {"SetTextPosition", ScriptSetTextPosition},
    {"SetFullMines", ScriptSetFullMines},
    {"SetBonus2", ScriptSetBonus2},
    {"IsFileExists", ScriptIsFileExists},
    {"GetTextureSize", ScriptGetTextureSize},
    {"GoURL", ScriptGoURL},
    {"SetWindowSize", ScriptSetWindowSize},
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
    {"SetCursor", ScriptSetCursor},
    {"EngineState", ScriptEngineState},
    {"GetCursor", ScriptGetCursor},
    {"PlayVideo", ScriptPlayVideo},
    {"StopVideo", ScriptStopVideo},
    {"UpdateScore", ScriptUpdateScore},
    {"UpdateTime", ScriptUpdateTime},
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
    {"GetWindowPosition", ScriptGetWindowPosition},
    {"InitGameInterface", ScriptInitGameInterface},
    {"UpdateGameInterface", ScriptUpdateGameInterface},
    {"StopGlobalTimer", ScriptStopGlobalTimer},
    {"StartGlobalTimer", ScriptStartGlobalTimer},
    {"ClearGlobalTimer", ScriptClearGlobalTimer},
    {"SetDifficult", ScriptSetDifficult},
    {"GetDifficulty", ScriptGetDifficulty},
    {"GetPlayerDirection", ScriptGetPlayerDirection},
    {"GetMoveDirection", ScriptGetMoveDirection},
    {"GetRotateDirection", ScriptGetRotateDirection},
    {"UpdateScore2", ScriptUpdateScore2},
    {"GetTextPosition", ScriptGetTextPosition},
    {nullptr, nullptr},
};

}  // namespace

const luaL_Reg* GetGameFunctions() { return kGameFunctions; }
const luaL_Reg* GetInterfaceFunctions() { return kInterfaceFunctions; }

void RegisterGameFunctionTables() {
    CPLuaScript::SetEngineTable(GetEngineFunctions());
    CPLuaScript::SetGameTables(kGameFunctions, kInterfaceFunctions);
}
