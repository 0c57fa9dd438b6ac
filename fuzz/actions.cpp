// Actions.cfg: the key bindings, read by the input task.
#include <cstddef>
#include <cstdint>

#include "Input/NInput.h"
#include "support/FuzzFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CNInput* input = [] {
        auto* made = new CNInput;
        made->AddRef();  // the game's task list holds it for the whole run
        return made;
    }();
    fuzz::EnterTemporaryFolder();
    fuzz::WriteFile("Actions.cfg", data, size);
    input->LoadActions("Actions.cfg");
    return 0;
}
