// Data\Scripts\list.dat: the script list, read by the script manager, which loads every script it
// names (an empty "main" exists).
#include <cstddef>
#include <cstdint>

#include "core/PMMObject.h"
#include "script/PScriptManager.h"
#include "support/FuzzFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterTemporaryFolder();
    static const bool scripts = (fuzz::WriteFile("Data/Scripts/main.lua", ""), true);
    (void)scripts;
    fuzz::WriteFile("Data/Scripts/list.dat", data, size);
    {
        CPScriptManager manager;
        manager.LoadList();
    }
    CollectGarbage();
    return 0;
}
