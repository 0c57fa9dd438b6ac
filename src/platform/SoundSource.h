#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "math/PVector3.h"

namespace platform {

// The PCM layout of a sample: 8-bit unsigned or 16-bit signed little-endian, interleaved.
struct PcmFormat {
    int32_t channels = 0;       // 1 or 2
    int32_t bitsPerSample = 0;  // 8 or 16
    int32_t sampleRate = 0;     // frames per second
};

// One whole sample in an OpenAL buffer with its own source, on the audio device that is open
// (platform/AudioDevice.h). It behaves like a static sound buffer of the game's design:
// - Play does not restart a source that is already playing (only its looping changes);
// - Stop pauses: the position is kept, and the next Play goes on from there;
// - Rewind moves to the start without changing whether the source plays.
// A 2D source is heard unplaced (source-relative at the origin, its channels straight to the
// speakers, a mono sample on both at full level); a 3D source must be mono and fades with inverse distance, clamped between its
// minimum and maximum distances. Positions are in the game's left-handed space.
//
// Freed after its device was closed, a source does nothing (the device took its objects).
class SoundSource {
public:
    // Copies the sample; null with the reason in error when no device is open, the format is
    // not one above, a 3D sample is not mono, or OpenAL refuses the buffer or the source.
    static std::unique_ptr<SoundSource> Create(const PcmFormat& format, const uint8_t* data, size_t size,
                                               bool positional, std::string& error);
    ~SoundSource();
    SoundSource(const SoundSource&) = delete;
    SoundSource& operator=(const SoundSource&) = delete;

    void Play(bool loop);
    void Stop();
    void Rewind();
    bool IsPlaying() const;
    // The play position in frames from the start of the sample.
    int32_t GetFrameOffset() const;

    // Volume in hundredths of a decibel (0 full, negative quieter).
    void SetVolume(int32_t millibels);
    // Playback rate as a factor of the sample's own rate.
    void SetPitch(float pitch);

    void SetPosition(const PVector3& position, const PVector3& velocity);
    void SetDistances(float minimum, float maximum);

private:
    SoundSource(uint32_t buffer, uint32_t source, uint64_t generation);
    bool IsOnOpenDevice() const;

    uint32_t buffer_;
    uint32_t source_;
    uint64_t generation_;
};

}  // namespace platform
