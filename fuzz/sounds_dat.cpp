// Data\Sounds\Sounds.dat: the registry of named sounds, read by the audio start-up on OpenAL
// Soft's null backend, each line loading its wave file (a.wav exists, other names do not).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/PMMObject.h"
#include "Sound/NAudio.h"
#include "support/FuzzFolder.h"

namespace {

// A quarter of a millisecond of 16-bit mono silence.
const uint8_t kWave[] = {'R', 'I', 'F', 'F', 46, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                         1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 10,
                         0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        setenv("ALSOFT_DRIVERS", "null", 1);
        fuzz::EnterTemporaryFolder();
        fuzz::WriteFile("data/sounds/a.wav", kWave, sizeof(kWave));
        return true;
    }();
    (void)ready;
    fuzz::WriteFile("data/sounds/sounds.dat", data, size);
    {
        CNAudio audio;
        audio.Init(nullptr);
        audio.GetSound("a");
    }
    CollectGarbage();
    return 0;
}
