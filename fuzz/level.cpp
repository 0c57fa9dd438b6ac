// Data\Levels\<name>.lvl: the binary level file, read whole and checked before a level is built,
// and the names of its object records.
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/LevelFile.h"
#include "game/LevelRecordName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SPLevelFile level;
    std::string error;
    if (!ReadLevelFile(data, size, level, error)) return 0;
    for (const SPLevelRecord& record : level.records) ClassifyLevelRecord(record.name);
    return 0;
}
