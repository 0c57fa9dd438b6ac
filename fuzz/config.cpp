// config.cfg: the settings file, read by the settings store.
#include <cstddef>
#include <cstdint>

#include "core/PSettings.h"
#include "support/FuzzFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CPSettings* settings = new CPSettings;  // lives as long as the process, like the game's
    fuzz::EnterTemporaryFolder();
    fuzz::WriteFile("config.cfg", data, size);
    settings->Load("config.cfg");
    return 0;
}
