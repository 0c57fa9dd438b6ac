#include "Sound/NAudio.h"

#include "core/PFile.h"
#include "core/PLog.h"
#include "core/PTextReader.h"
#include "core/PTokenizer.h"
#include "core/Result.h"
#include "core/SettingsVariables.h"
#include "core/TextHelpers.h"
#include "platform/AudioDevice.h"
#include "platform/LibraryMessages.h"
#include "Sound/PMusic.h"

namespace {

void LogLibraryMessage(const std::string& line) { GetLog()->Print(0, "%s\n", line.c_str()); }

}  // namespace

CNAudio::CNAudio() = default;

CNAudio::~CNAudio() {
    ReleaseDevice();
    m_registry.clear();
}

int32_t CNAudio::Init(void* window) {
    CNSound::SetGlobalVolume(g_soundVolume);
    if (CPMusic* music = GetMusic()) music->SetVolume(g_musicVolume);
    m_window = window;
    platform::RouteLibraryMessages(LogLibraryMessage);
    std::string error;
    m_device = platform::AudioDevice::Open(g_frequency, error);
    if (!m_device) {
        GetLog()->Print(0, "No sound device (%s): the game runs without sound\n", error.c_str());
        return 0;
    }
    m_bank = std::make_unique<CNSoundBank>();
    ApplyListener();
    LoadRegistry();
    return 0;
}

void CNAudio::LoadRegistry() {
    CPFile file("Data\\Sounds\\Sounds.dat");
    if (file.Load() != S_OK) return;
    CPTextReader reader(file.GetData(), file.GetSize());
    std::string line;
    while (reader.ReadLine(line)) {
        CPTokenizer tokenizer(line, ";", true);
        std::string name, waveFile, kind;
        tokenizer.NextToken(name);
        tokenizer.NextToken(waveFile);
        tokenizer.NextToken(kind);
        m_registry[name] = LoadSound(waveFile, StrToLower(kind) == "3d");
    }
}

void CNAudio::ReleaseDevice() {
    m_bank.reset();
    m_device.reset();
}

TPtr<CNSound> CNAudio::LoadSound(const std::string& file, bool is3D) {
    if (!m_bank) return nullptr;
    return m_bank->Load(file, is3D, true);
}

TPtr<CNSound> CNAudio::GetSound(const std::string& name) { return m_registry[name]; }

void CNAudio::PlaySoundByName(const std::string& name, bool loop) {
    const TPtr<CNSound> sound = GetSound(name);
    if (!sound) return;
    if (sound->IsPlaying() && !loop) {
        sound->Stop();
        sound->Rewind();
    }
    sound->Play(0, loop ? CNSound::kPlayLooping : 0);
}

void CNAudio::PlaySoundAt(const std::string& name, const PVector3& position, bool loop) {
    const TPtr<CNSound> sound = GetSound(name);
    if (!sound) return;
    SetSoundPosition(sound, position, {0.0f, 0.0f, 0.0f});
    if (sound->IsPlaying()) {
        sound->Stop();
        sound->Rewind();
    }
    sound->Play(0, loop ? CNSound::kPlayLooping : 0);
}

void CNAudio::StopSoundByName(const std::string& name) {
    const TPtr<CNSound> sound = GetSound(name);
    if (!sound) return;
    sound->Stop();
    sound->Rewind();
}

void CNAudio::StopAllSounds() {
    for (const auto& [name, sound] : m_registry) {
        if (!sound) continue;
        sound->Stop();
        sound->Rewind();
    }
    for (CNSound* sound : CNSound::GetLiveSounds()) sound->Stop();
}

void CNAudio::SetSoundPosition(TPtr<CNSound> sound, const PVector3& position, const PVector3& velocity) {
    if (sound) sound->SetPosition(position, velocity);
}

void CNAudio::SetSoundDistances(TPtr<CNSound> sound, float minimum, float maximum) {
    if (sound) sound->SetDistances(minimum, maximum);
}

void CNAudio::SetListenerPosition(const PVector3& position, const PVector3& velocity) {
    m_listener.position = position;
    m_listener.velocity = velocity;
    ApplyListener();
}

void CNAudio::SetListenerOrientation(const PVector3& top, const PVector3& front) {
    m_listener.top = top;
    m_listener.front = front;
    ApplyListener();
}

void CNAudio::ApplyListener() {
    if (!m_device) return;
    m_device->SetListenerPosition(m_listener.position, m_listener.velocity);
    m_device->SetListenerOrientation(m_listener.front, m_listener.top);
}

void CNAudio::SetSoundVolume(float volume) {
    g_soundVolume = ClampVolume(volume);
    CNSound::SetGlobalVolume(g_soundVolume);
}

void CNAudio::SetMusicVolume(float volume) {
    g_musicVolume = ClampVolume(volume);
    if (CPMusic* music = GetMusic()) music->SetVolume(g_musicVolume);
}
