#include "scriptapi/GameFunctionTables.h"

#include <lua.hpp>

#include "script/EngineFunctions.h"
#include "script/PLuaScript.h"
#include "script/ScriptTimerFunctions.h"
#include "scriptapi/CameraFunctions.h"
#include "scriptapi/HudFunctions.h"
#include "scriptapi/InterfaceFunctions.h"
#include "scriptapi/PlayerCarFunctions.h"
#include "scriptapi/SettingsFunctions.h"
#include "scriptapi/SoundFunctions.h"
#include "scriptapi/VideoFunctions.h"
#include "scriptapi/WeaponFunctions.h"

namespace {

const luaL_Reg kGameFunctions[] = {
    {"GetChar", ScriptGetChar},
    {"Shot", ScriptShot},
    {"ClearTimer", ScriptClearTimer},
    {"PlaySpecialSound", ScriptPlaySpecialSound},
    {"UpdateInterface", ScriptUpdateInterface},
    {"CreateInterface", ScriptCreateInterface},
    {"ActivateInterface", ScriptActivateInterface},
    {"DeactivateInterface", ScriptDeactivateObject},
    {"SetDefaultCamera", ScriptSetDefaultCamera},
    {"SetCarParams", ScriptSetCarParams},
    {"SetWindowVisible", ScriptSetWindowVisible},
    {"SetWindowPosition", ScriptSetWindowPosition},
    {"SetText", ScriptSetText},
    {"SetTextString", ScriptSetTextString},
    {"SaveLog", ScriptSaveLog},
    {"UpdateInterfaceBuffers", ScriptUpdateInterfaceBuffers},
    {"SmartBomb", ScriptSmartBomb},
    {"SetWindowPositionShop", ScriptSetWindowPositionShop},
    {"GetSoundVolume", ScriptGetSoundVolume},
    {"SetSoundVolume", ScriptSetSoundVolume},
    {"GetMusicVolume", ScriptGetMusicVolume},
    {"SetMusicVolume", ScriptSetMusicVolume},
    {"GetMouse", ScriptGetMouse},
    {"SetMouse", ScriptSetMouse},
    {"GetBrightness", ScriptGetBrightness},
    {"SetBrightness", ScriptSetBrightness},
    {"GetCurrentResolution", ScriptGetCurrentResolution},
    {"SetDifficulty", ScriptSetDifficulty},
    {"IsTimerStopped", ScriptIsTimerStopped},
    {"GetString", ScriptGetString},
    {"GetInt", ScriptToInt},
    {"SetTextPosition", ScriptSetTextPosition},
    {"SetBonus2", ScriptSetBonus2},
    {"IsFileExists", ScriptIsFileExists},
    {"GetTextureSize", ScriptGetTextureSize},
    {"GoURL", ScriptGoURL},
    {"SetWindowSize", ScriptSetWindowSize},
    {nullptr, nullptr},
};

const luaL_Reg kInterfaceFunctions[] = {
    {"SetCursor", ScriptSetCursor},
    {"EngineState", ScriptEngineState},
    {"GetCursor", ScriptGetCursor},
    {"PlayVideo", ScriptPlayVideo},
    {"StopVideo", ScriptStopVideo},
    {"SetShot", ScriptSetShot},
    {"SetMineShot", ScriptSetMineShot},
    {"SetCurrentWeapon", ScriptSetCurrentWeapon},
    {"SetPrevWeapon", ScriptSetPrevWeapon},
    {"SetNextWeapon", ScriptSetNextWeapon},
    {"GetWindowPosition", ScriptGetWindowPosition},
    {"InitGameInterface", ScriptInitGameInterface},
    {"UpdateGameInterface", ScriptUpdateGameInterface},
    {"StopGlobalTimer", ScriptStopGlobalTimer},
    {"StartGlobalTimer", ScriptStartGlobalTimer},
    {"ClearGlobalTimer", ScriptClearGlobalTimer},
    {"GetDifficulty", ScriptGetDifficulty},
    {"GetRotateDirection", ScriptGetRotateDirection},
    {"GetTextPosition", ScriptGetTextPosition},
    {nullptr, nullptr},
};

}  // namespace

const luaL_Reg* GetGameFunctions() { return kGameFunctions; }
const luaL_Reg* GetInterfaceFunctions() { return kInterfaceFunctions; }

void RegisterGameFunctionTables() { CPLuaScript::SetGameTables(kGameFunctions, kInterfaceFunctions); }
