// Wave files of Data\Sounds: the RIFF/WAVE reader, then every byte of sample data it hands out.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Sound/NWaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CNWaveFile wave;
    if (wave.OpenMemory(std::vector<uint8_t>(data, data + size), "fuzz.wav") != 0) return 0;
    std::vector<uint8_t> samples(wave.GetSize());
    uint32_t read = 0;
    wave.Read(samples.data(), wave.GetSize(), &read);
    wave.ResetFile();
    wave.Read(samples.data(), wave.GetSize() / 2, &read);
    return 0;
}
