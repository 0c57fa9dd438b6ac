#pragma once
#include <cstdint>
#include <string>

#include "core/PMMObject.h"

// One sample, shared through CPSmartPointer.
//
// Not done yet: the sound buffer, the wave file, 3D parameters, Play, Rewind, IsPlaying, the
// shared volume and frequency factor. A sound is silent for now, like a sound whose buffer
// could not be created, and Stop has nothing to stop.
class CNSound : public IPMMObject {
public:
    CNSound() = default;

    // Silent sounds never play.
    bool IsPlaying() const { return false; }
    void Stop() {}
    // Does nothing yet: there is no play position.
    void Rewind() {}
    // Does nothing yet: the sound is silent.
    void Play(int32_t priority = 0, int32_t flags = 0) {}
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CNSound"; }
};
