#pragma once
#include <cstdint>

namespace platform {

// Counts the audio devices opened so far; 0 while none is open. A sound source remembers the
// number of the device it was made on and frees its OpenAL objects only while that device is
// still the open one (a later device reuses the same object names).
uint64_t OpenAudioGeneration();

}  // namespace platform
