#pragma once
#include "core/PFile.h"

namespace fuzz {

// Reads a loaded file to its end the ways the game's binary loaders do: ints, floats, strings
// and raw blocks in turn, as its bytes choose.
inline void ReadStream(CPFile& file)
{
    while (!file.HasFailed() && file.GetRemaining() > 0) {
        switch (file.ReadInt() & 3) {
        case 0: file.ReadFloat(); break;
        case 1: file.ReadString(); break;
        case 2: {
            char block[64];
            file.Read(block, file.ReadInt() & 63);
            break;
        }
        default: file.ReadInt(); break;
        }
    }
    file.ReadString();  // past the end: reads as the end of data
}

}  // namespace fuzz
