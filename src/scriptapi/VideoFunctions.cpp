#include "scriptapi/VideoFunctions.h"

#include <lua.hpp>

#include "Render/PAVIPlayer.h"
#include "core/PKernel.h"

namespace {

constexpr int32_t kPlayerPriority = 400;

}  // namespace

int ScriptPlayVideo(lua_State* state)
{
    size_t length = 0;
    const char* name = luaL_checklstring(state, 1, &length);
    CPAVIPlayer* player = GetAVIPlayer();
    if (!player) return 0;
    player->Play(std::string(name, length));
    player->SetPriority(kPlayerPriority);
    if (CPKernel* kernel = GetKernel()) kernel->AddTask(TPtr<IPTask>(player));
    return 0;
}

int ScriptStopVideo(lua_State*)
{
    if (CPAVIPlayer* player = GetAVIPlayer()) player->Stop();
    return 0;
}
