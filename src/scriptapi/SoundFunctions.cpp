#include "scriptapi/SoundFunctions.h"

#include <lua.hpp>

#include <string>

#include "core/SettingsVariables.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "Sound/PMusic.h"
#include "math/PVector3.h"
#include "scriptapi/ScriptArguments.h"

namespace {

float VolumeArgument(lua_State* state) { return ClampVolume(FloatArgument(state, 1)); }

// Plays the sound once from its beginning (a playing one is stopped and rewound first).
void PlayFromStart(const TPtr<CNSound>& sound) {
    if (!sound) return;
    if (sound->IsPlaying()) {
        sound->Stop();
        sound->Rewind();
    }
    sound->Play(0, 0);
}

}  // namespace

int ScriptPlaySpecialSound(lua_State* state) {
    size_t length = 0;
    const char* text = luaL_checklstring(state, 1, &length);
    CNAudio* audio = GetAudio();
    if (!audio) return 0;
    PlayFromStart(audio->GetSound(std::string(text, length)));
    return 0;
}

// A position that is no finite float leaves the sound where it was.
int ScriptPlaySpecialSound3D(lua_State* state) {
    size_t length = 0;
    const char* text = luaL_checklstring(state, 1, &length);
    CNAudio* audio = GetAudio();
    if (!audio) return 0;
    const TPtr<CNSound> sound = audio->GetSound(std::string(text, length));
    PVector3 position;
    if (ReadFiniteArgument(state, 2, position.x) && ReadFiniteArgument(state, 3, position.y) &&
        ReadFiniteArgument(state, 4, position.z)) {
        audio->SetSoundPosition(sound, position, {0.0f, 0.0f, 0.0f});
    }
    PlayFromStart(sound);
    return 0;
}

int ScriptStopSounds(lua_State*) {
    if (CNAudio* audio = GetAudio()) audio->StopAllSounds();
    return 0;
}

int ScriptPlayMusicNoLoop(lua_State* state) {
    CPMusic* music = GetMusic();
    std::string name;
    if (!music || !TextArgument(state, 1, name)) return 0;
    music->Play(name, false);
    music->Start();
    return 0;
}

int ScriptGetMusicName(lua_State* state) {
    CPMusic* music = GetMusic();
    const std::string name = music ? music->GetCurrentName() : std::string();
    lua_pushlstring(state, name.data(), name.size());
    return 1;
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
