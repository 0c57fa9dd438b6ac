// A kind file of Data\Ai: the attacks and animation sounds of one enemy kind.
#include <cstddef>
#include <cstdint>

#include "AI/EnemyType.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SPKindFile kind;
    ParseKindFile(data, size, "Data\\Ai\\k", kind);
    MeleeAttackCount(kind.melee[0].hitFrame);
    return 0;
}
