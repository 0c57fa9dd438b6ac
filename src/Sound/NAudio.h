#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "core/PSmartPointer.h"
#include "core/Singleton.h"
#include "math/PVector3.h"
#include "Sound/NSound.h"
#include "Sound/NSoundBank.h"

namespace platform {
class AudioDevice;
}

// The 3D listener: where the game is heard from (world coordinates).
struct SPListener {
    PVector3 position{0.0f, 0.0f, 0.0f};
    PVector3 velocity{0.0f, 0.0f, 0.0f};
    PVector3 front{0.0f, 0.0f, 1.0f};
    PVector3 top{0.0f, 1.0f, 0.0f};
};

// The audio singleton: the sound device, the sound bank, the listener and the registry of named
// sounds from "Data\Sounds\Sounds.dat". Created at start-up; Init runs once the game window and
// the music task exist.
//
// Sounds.dat has one sound a line, fields separated by ';' (double quotes group): the name the
// game plays it by, the wave file in "Data\Sounds", and "3d" (any case) for a 3D sound (any other
// text, or none, makes a 2D sound). A later line with the same name replaces the earlier sound.
//
// Without a sound device the game runs silently: Init says so once in the log, no bank exists,
// the registry stays empty and every call below does nothing.
class CNAudio : public TSingleton<CNAudio> {
public:
    CNAudio();
    virtual ~CNAudio();

    // Applies the volume settings, opens the sound device (mixing at the "frequency" setting),
    // creates the sound bank and reads Sounds.dat. Returns 0 whether or not the device opened.
    int32_t Init(void* window);
    // Lets go of the bank and the device (the sounds fall silent).
    void ReleaseDevice();

    // A new sound of the wave file "Data\Sounds\<file>" through the bank; empty without a bank.
    TPtr<CNSound> LoadSound(const std::string& file, bool is3D);
    // The sound registered under the name, or an empty pointer; an unknown name is entered with
    // an empty pointer.
    TPtr<CNSound> GetSound(const std::string& name);
    // Plays the named sound: a one-shot that is playing starts again from its beginning; a
    // looping one that is playing goes on.
    void PlaySoundByName(const std::string& name, bool loop);
    // Stops the named sound and rewinds it.
    void StopSoundByName(const std::string& name);
    // Places the named sound at the position (standing still) and plays it, looping or once; one
    // that is playing starts again from its beginning. Nothing for an unknown name.
    void PlaySoundAt(const std::string& name, const PVector3& position, bool loop);
    // Stops and rewinds every registered sound, then stops every live sound.
    void StopAllSounds();
    // Place a 3D sound, and set its distances; nothing for a 2D sound.
    void SetSoundPosition(TPtr<CNSound> sound, const PVector3& position, const PVector3& velocity);
    void SetSoundDistances(TPtr<CNSound> sound, float minimum, float maximum);
    // Empties the registry, releasing every sound (the application's shutdown).
    void ClearSoundRegistry() { m_registry.clear(); }
    size_t GetRegistrySize() const { return m_registry.size(); }

    void SetListenerPosition(const PVector3& position, const PVector3& velocity);
    // The first argument is the top vector.
    void SetListenerOrientation(const PVector3& top, const PVector3& front);
    const SPListener& GetListener() const { return m_listener; }

    // Store the volume (clamped to 0..1) in the soundVolume or musicVolume setting and apply it
    // to every live sound, or to the music.
    void SetSoundVolume(float volume);
    void SetMusicVolume(float volume);

    bool HasDevice() const { return m_device != nullptr; }

private:
    void LoadRegistry();
    void ApplyListener();

    void* m_window = nullptr;
    std::unique_ptr<platform::AudioDevice> m_device;
    std::unique_ptr<CNSoundBank> m_bank;
    SPListener m_listener;
    std::unordered_map<std::string, TPtr<CNSound>> m_registry;
};

// The audio, null before its construction and after its destruction.
inline CNAudio* GetAudio() { return CNAudio::Instance(); }
