#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/PMMObject.h"
#include "math/PVector3.h"
#include "Sound/NWaveFile.h"

namespace platform {
class SoundSource;
}

// One sample held whole by the sound device, shared through CPSmartPointer. A 2D sound is heard
// as it is; a 3D sound (mono files only) is placed in the world and fades with distance.
//
// All sounds share the sound volume (0 to 1, 0 until SetGlobalVolume is first called) and the
// frequency factor (1 at start). A sound whose file cannot be read, or made while no sound
// device is open, has no buffer: it never plays and every operation on it does nothing.
class CNSound : public IPMMObject {
public:
    static constexpr int32_t kPlayLooping = 1;

    // Reads the wave file at the path (a game path) and hands its sample to the device.
    CNSound(const std::string& path, bool is3D);
    ~CNSound() override;

    // Plays from the current position at the base rate times the frequency factor (a product
    // truncated to 0 means the base rate; one outside 100 to 200,000 is logged and not played);
    // a sound that is already playing goes on (only whether it loops changes). flags: 0 or
    // kPlayLooping. Returns 0.
    int32_t Play(int32_t priority = 0, int32_t flags = 0);
    // Stops, keeping the position.
    void Stop();
    // Moves to the start (a playing sound goes on playing from there).
    void Rewind();
    bool IsPlaying() const;
    // The play position in frames from the start (0 without a buffer).
    int32_t GetPlayPosition() const;
    // Sets the volume from the shared sound volume: -7000 * (1 - v)^4 hundredths of a decibel.
    void ApplyVolume();

    bool HasBuffer() const { return m_source != nullptr; }
    bool Is3D() const { return m_is3D; }
    // The sample data's size in bytes and its own rate (frames per second).
    uint32_t GetDataSize() const { return m_size; }
    uint32_t GetBaseFrequency() const { return m_baseFrequency; }

    // World position and velocity, and the distances of full volume and of no more fading
    // (DirectSound's defaults: 1 and 10^9); nothing for a 2D sound.
    void SetPosition(const PVector3& position, const PVector3& velocity);
    void SetDistances(float minimum, float maximum);
    float GetMinDistance() const { return m_minDistance; }
    float GetMaxDistance() const { return m_maxDistance; }

    // Stores the shared sound volume (clamped to 0..1) and applies it to every live sound.
    static void SetGlobalVolume(float volume);
    static float GetGlobalVolume() { return s_volume; }
    // Stores the shared frequency factor; each sound uses it at its next Play.
    static void SetFrequencyFactor(float factor);
    static float GetFrequencyFactor() { return s_frequencyFactor; }
    // The sounds that have a buffer, in creation order.
    static const std::vector<CNSound*>& GetLiveSounds() { return s_liveSounds; }

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CNSound"; }

private:
    std::unique_ptr<platform::SoundSource> m_source;
    uint32_t m_size = 0;
    bool m_is3D;
    uint32_t m_baseFrequency = 0;
    float m_minDistance = 1.0f;
    float m_maxDistance = 1.0e9f;

    static inline std::vector<CNSound*> s_liveSounds;
    static inline float s_volume = 0.0f;
    static inline float s_frequencyFactor = 1.0f;
};

// A volume within 0..1 (not a number: 0).
float ClampVolume(float volume);

// The volume law of sounds and music: a volume 0..1 (clamped) in hundredths of a decibel,
// -7000 * (1 - volume)^4 truncated toward zero (1: 0, full; 0.5: -437; 0: -7000).
int32_t VolumeToMillibels(float volume);
