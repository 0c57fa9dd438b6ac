#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "math/PVector3.h"

namespace platform {

// The sound output: the default OpenAL device with one context, current while this object
// lives, and its listener. Tests run it on OpenAL Soft's null or wave-file backend.
//
// Positions, velocities and orientations are given in the game's left-handed space (x right,
// y up, z forward) and turned into OpenAL's right-handed space (z negated) here.
class AudioDevice {
public:
    // Opens the default device mixing at the given rate (0: the device's own rate) and makes
    // its context current; on failure returns null and describes why in error.
    static std::unique_ptr<AudioDevice> Open(int32_t frequency, std::string& error);
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // The rate the device really mixes at.
    int32_t Frequency() const;

    void SetListenerPosition(const PVector3& position, const PVector3& velocity);
    // front: where the listener looks; top: its up direction.
    void SetListenerOrientation(const PVector3& front, const PVector3& top);

private:
    struct Impl;
    explicit AudioDevice(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// The gain of a volume in hundredths of a decibel: 10^(mB / 2000); 0 is full volume.
float GainFromMillibels(int32_t millibels);

}  // namespace platform
