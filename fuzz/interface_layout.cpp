// Data\Interface\<screen>1024.int: an interface layout, loaded into a screen on an 800 × 600
// screen; then the mouse moves and clicks over it, its first elements are locked, turned and
// drawn again.
#include <cstddef>
#include <cstdint>

#include "core/PMMObject.h"
#include "core/SettingsVariables.h"
#include "interface/PInterface.h"
#include "support/FuzzFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        fuzz::EnterTemporaryFolder();
        g_screenWidth = 800;
        g_screenHeight = 600;
        return true;
    }();
    (void)ready;
    fuzz::WriteFile("data/interface/fuzz1024.int", data, size);
    {
        TPtr<CPInterface> screen(new CPInterface);
        screen->Load("fuzz", 0);
        screen->Activate(450);
        for (const float position : {0.0f, 100.0f, 400.0f, 799.0f}) {
            InterfacesMouseMove(position, position * 0.75f);
            InterfacesButtonDown(0, position, position * 0.75f);
            InterfacesButtonUp(0, position, position * 0.75f);
        }
        for (const char* name : {"a", "b", "ok", "back"}) {
            screen->SetElementLocked(name, true);
            if (CPWindow* element = screen->FindElement(name)) element->angle = 1.0f;
            screen->SetTextString(name, "x^y");
        }
        screen->BuildGeometry();
        screen->Deactivate();
    }
    CollectGarbage();
    return 0;
}
