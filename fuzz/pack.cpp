// Data packs: the index of a pack in the Data folder, then every file it holds, read as the game
// reads files (from the pack when no file on disk has the path) and parsed as a binary stream.
#include <cstddef>
#include <cstdint>

#include "core/PFile.h"
#include "core/PPack.h"
#include "support/FuzzFolder.h"
#include "support/ReadStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterTemporaryFolder();
    fuzz::WriteFile("Data/game1.dat", data, size);
    MountPacks();
    for (const CPPack& pack : GetPacks()) {
        for (const auto& [path, entry] : pack.entries) {
            CPFile file(path);
            file.Load();
            fuzz::ReadStream(file);
        }
    }
    return 0;
}
