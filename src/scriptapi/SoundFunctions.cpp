#include "scriptapi/SoundFunctions.h"

#include <lua.hpp>

#include <string>

#include "core/SettingsVariables.h"
#include "Sound/NAudio.h"

namespace {

float VolumeArgument(lua_State* state) { return ClampVolume(static_cast<float>(lua_tonumber(state, 1))); }

}  // namespace

int ScriptPlaySpecialSound(lua_State* state) {
    size_t length = 0;
    const char* text = luaL_checklstring(state, 1, &length);
    CNAudio* audio = GetAudio();
    if (!audio) return 0;
    const TPtr<CNSound> sound = audio->GetSound(std::string(text, length));
    if (!sound) return 0;
    if (sound->IsPlaying()) {
        sound->Stop();
        sound->Rewind();
    }
    sound->Play(0, 0);
    return 0;
}

int ScriptGetSoundVolume(lua_State* state) {
    lua_pushnumber(state, g_soundVolume);
    return 1;
}

int ScriptSetSoundVolume(lua_State* state) {
    g_soundVolume = VolumeArgument(state);
    if (CNAudio* audio = GetAudio()) audio->SetSoundVolume(g_soundVolume);
    return 0;
}

int ScriptGetMusicVolume(lua_State* state) {
    lua_pushnumber(state, g_musicVolume);
    return 1;
}

int ScriptSetMusicVolume(lua_State* state) {
    g_musicVolume = VolumeArgument(state);
    if (CNAudio* audio = GetAudio()) audio->SetMusicVolume(g_musicVolume);
    return 0;
}
