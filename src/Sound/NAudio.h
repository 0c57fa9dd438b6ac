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
// sounds. Created at start-up; Init runs once the game window exists.
//
// Not done yet: reading "Data\Sounds\Sounds.dat" into the registry, playing by name, 3D sound
// placement, the sound and music volumes, and handing the listener to the device (it is only
// kept here for now).
class CNAudio : public TSingleton<CNAudio> {
public:
    CNAudio();
    virtual ~CNAudio();

    // Opens the sound device (mixing at the "frequency" setting) and creates the sound bank.
    // Returns 0 whether or not the device opened; without a device every sound is silent.
    int32_t Init(void* window);

    // The sound registered under the name, or an empty pointer; an unknown name is entered with
    // an empty pointer.
    TPtr<CNSound> GetSound(const std::string& name);
    // Empties the registry, releasing every sound (the application's shutdown).
    void ClearSoundRegistry() { m_registry.clear(); }
    size_t GetRegistrySize() const { return m_registry.size(); }

    void SetListenerPosition(const PVector3& position, const PVector3& velocity);
    // The first argument is the top vector.
    void SetListenerOrientation(const PVector3& top, const PVector3& front);
    const SPListener& GetListener() const { return m_listener; }

    bool HasDevice() const { return m_device != nullptr; }

private:
    void* m_window = nullptr;
    std::unique_ptr<platform::AudioDevice> m_device;
    std::unique_ptr<CNSoundBank> m_bank;
    SPListener m_listener;
    std::unordered_map<std::string, TPtr<CNSound>> m_registry;
};

// The audio, null before its construction and after its destruction.
inline CNAudio* GetAudio() { return CNAudio::Instance(); }
