// Scrambled files on disk: the links file as the game reads it at start, and the same bytes read
// as a scrambled binary file (saves, scores).
#include <cstddef>
#include <cstdint>

#include "app/WebAddresses.h"
#include "core/PFile.h"
#include "support/FuzzFolder.h"
#include "support/ReadStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterTemporaryFolder();
    fuzz::WriteFile("data/links.txt", data, size);
    ReadWebAddresses();
    IsWebAddress(g_browserAddress);
    IsWebAddress(g_exitAddress);

    CPFile file("data\\links.txt", true);
    file.Load();
    fuzz::ReadStream(file);
    return 0;
}
