#include "scriptapi/ScriptTimerFunctions.h"

#include <lua.hpp>

#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "Sound/NSound.h"

int ScriptStopGlobalTimer(lua_State*) {
    if (CPGlobalTimer* timer = GetGlobalTimer()) timer->Stop();
    g_frameDelta = 0.0f;
    return 0;
}

int ScriptStartGlobalTimer(lua_State*) {
    CPGlobalTimer* timer = GetGlobalTimer();
    if (timer && GetKernel()) GetKernel()->AddTask(TPtr<IPTask>(timer));
    return 0;
}

int ScriptClearTimer(lua_State*) {
    g_frameDelta = 0.0f;
    g_timeScale = 1.0f;
    return 0;
}

int ScriptIsTimerStopped(lua_State* state) {
    const CPGlobalTimer* timer = GetGlobalTimer();
    lua_pushboolean(state, timer && timer->IsStopped());
    return 1;
}

int ScriptClearGlobalTimer(lua_State* state) {
    ScriptClearTimer(state);
    CNSound::SetFrequencyFactor(1.0f);
    return 0;
}
