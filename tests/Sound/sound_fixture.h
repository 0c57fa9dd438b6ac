#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Sound/NAudio.h"
#include "support/TempDir.h"
#include "support/WorkingFolder.h"

namespace soundtest {

// Builds the bytes of a wave file. The chunks are written in order; helpers make the usual ones.
struct WaveChunk {
    std::string id;
    std::vector<uint8_t> body;
    int64_t declaredSize = -1;  // the size written in the header; -1: the body's true size
};
std::vector<uint8_t> FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);
std::vector<uint8_t> Samples16(const std::vector<int16_t>& samples);
std::vector<uint8_t> WaveBytes(const std::vector<WaveChunk>& chunks, int64_t declaredRiffSize = -1);
// A PCM wave file of 16-bit samples (interleaved when stereo).
std::vector<uint8_t> PcmWave16(uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples);

// Writes a binary file under the working folder (folders included).
void WriteFile(const testsupport::WorkingFolder& folder, const std::string& relative, const std::vector<uint8_t>& bytes);

// The sound output of this test program: OpenAL Soft's wave-file backend, mixing 16-bit stereo
// at 22050 frames per second into one file, set up before main so every device opens on it.
struct MixedOutput {
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved
    int16_t Left(size_t frame) const { return samples[frame * channels]; }
    int16_t Right(size_t frame) const { return samples[frame * channels + 1]; }
    size_t Frames() const { return channels ? samples.size() / channels : 0; }
};
constexpr int32_t kOutputRate = 22050;
// The file the device writes; it is complete once the device closed.
std::filesystem::path MixedOutputPath();
MixedOutput ReadMixedOutput();

// Waits until the sound has played to its end (at most a few seconds).
bool WaitUntilSilent(const CNSound& sound);

}  // namespace soundtest
