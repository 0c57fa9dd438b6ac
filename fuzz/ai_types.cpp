// Data\ai.dat: the enemy kinds, each with its kind file (the same bytes serve as Data\Ai\k, which
// the seeds' lines name), made into prototypes by the AI task's first type load.
#include <cstddef>
#include <cstdint>

#include "AI/AI_Task.h"
#include "core/PMMObject.h"
#include "support/FuzzFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterTemporaryFolder();
    fuzz::WriteFile("Data/ai.dat", data, size);
    fuzz::WriteFile("Data/Ai/k", data, size);
    {
        TPtr<AI_Task> ai(new AI_Task);
        ai->LoadTypes();
        ai->AddEnemy("walker", 0.0f, 0.0f);
    }
    CollectGarbage();
    return 0;
}
