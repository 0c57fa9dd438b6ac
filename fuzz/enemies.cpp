// data\enemies.dat: the enemy records, read first at start.
#include <cstddef>
#include <cstdint>

#include "game/PEnemyDatabase.h"
#include "support/FuzzFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterTemporaryFolder();
    fuzz::WriteFile("data/enemies.dat", data, size);
    CPEnemyDatabase database;
    database.Load("data\\enemies.dat");
    database.GetRecord("walker");
    return 0;
}
